// Mnemonic markers in labels.
#include <plat/mnemonic.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

TEST(StripMnemonic, RemovesMarkersAndReturnsTheMarkedCharacter) {
    using Case = std::tuple<const char*, const char*, int>;
    for (auto [given, stripped, mnemonic] :
         {Case{"Save &As", "Save As", 'A'}, Case{"Fish && Chips", "Fish & Chips", 0},
          Case{"A&&&B", "A&B", 'B'}, Case{"&a&b", "ab", 'a'}, Case{"end&", "end", 0},
          Case{"&\u00DCber", "\u00DCber", 0xDC}, Case{"&\xC3", "\xC3", 0}}) {
        std::string label = given;
        EXPECT_EQ(plat::stripMnemonic(label.data()), mnemonic) << given;
        EXPECT_STREQ(label.c_str(), stripped);
    }
    EXPECT_EQ(plat::stripMnemonic(nullptr), 0);
}

} // namespace
