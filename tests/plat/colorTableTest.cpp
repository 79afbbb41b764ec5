// Colour lookup: "#RRGGBB" texts, the named table, and its rebuilding when the system colour
// provider's dark mode changes.
#include <plat/colorTable.h>

#include <plat/SysColors.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

using plat::Rgb;

bool darkMode = false;

struct SwitchableColors : plat::SysColors {
    bool isDarkBackground() override { return darkMode; }
};

// A process has one provider; every test that needs it shares this one.
void installProvider() {
    static bool installed = false;
    if (!installed)
        plat::SysColors::install(std::make_unique<SwitchableColors>());
    installed = true;
}

Rgb colorOf(const char* name) {
    Rgb color{1, 2, 3};
    EXPECT_TRUE(plat::getColor(name, color)) << name;
    return color;
}

TEST(ColorTable, HexTextsInEitherCaseAndExactNamesAreKnown) {
    darkMode = false;
    EXPECT_EQ(colorOf("#0aF0b1"), (Rgb{0x0A, 0xF0, 0xB1}));
    EXPECT_EQ(colorOf("orange"), (Rgb{0xFF, 0xA5, 0x00}));
    Rgb color;
    for (const char* name : {"#FFF", "#FFFFFFF", "#GG0000", "#12345 ", "#", "Orange", "contentbg",
                             "", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(plat::getColor(name, color)) << (name ? name : "null");
}

TEST(ColorTable, ModalEntriesFollowTheDarkMode) {
    installProvider();
    darkMode = false;
    EXPECT_EQ(colorOf("contentBg"), (Rgb{255, 255, 255}));
    darkMode = true;
    EXPECT_EQ(colorOf("contentBg"), (Rgb{0, 0, 0}));
    darkMode = false;
    EXPECT_EQ(colorOf("contentBg"), (Rgb{255, 255, 255})) << "and back";
}

} // namespace
