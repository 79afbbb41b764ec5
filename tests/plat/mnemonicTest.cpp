// Mnemonic markers in labels.
#include <plat/mnemonic.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StripMnemonic, RemovesMarkersAndReturnsTheMarkedCharacter) {
    struct Case {
        const char* label;
        const char* stripped;
        int mnemonic;
    };
    for (Case c : {Case{"Save &As", "Save As", 'A'}, Case{"Fish && Chips", "Fish & Chips", 0},
                   Case{"A&&&B", "A&B", 'B'}, Case{"&a&b", "ab", 'a'}, Case{"end&", "end", 0},
                   Case{"&\u00DCber", "\u00DCber", 0xDC}, Case{"&\xC3", "\xC3", 0}}) {
        std::string label = c.label;
        EXPECT_EQ(plat::stripMnemonic(label.data()), c.mnemonic) << c.label;
        EXPECT_STREQ(label.c_str(), c.stripped);
    }
    EXPECT_EQ(plat::stripMnemonic(nullptr), 0);
}

} // namespace
