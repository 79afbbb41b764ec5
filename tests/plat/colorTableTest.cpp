// Colour lookup: "#RRGGBB" texts and the named table.
#include <plat/colorTable.h>

#include <gtest/gtest.h>

namespace {

using plat::Rgb;

Rgb colorOf(const char* name) {
    Rgb color{1, 2, 3};
    EXPECT_TRUE(plat::getColor(name, color)) << name;
    return color;
}

TEST(ColorTable, HexTextsInEitherCaseAndExactNamesAreKnown) {
    EXPECT_EQ(colorOf("#0aF0b1"), (Rgb{0x0A, 0xF0, 0xB1}));
    EXPECT_EQ(colorOf("orange"), (Rgb{0xFF, 0xA5, 0x00}));
    Rgb color;
    for (const char* name : {"#FFF", "#FFFFFFF", "#GG0000", "#12345 ", "#", "Orange", "contentbg",
                             "", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(plat::getColor(name, color)) << (name ? name : "null");
}

} // namespace
