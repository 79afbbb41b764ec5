// The default style's greys follow the system colour provider's dark mode.
#include "support/TestWindow.h"

#include <wvw/Style.h>

#include <gtest/gtest.h>

namespace {

std::vector<int> greys(const wvw::Style& style) {
    std::vector<int> values;
    for (const plat::Rgb& grey : style.frame) {
        EXPECT_TRUE(grey.red == grey.green && grey.green == grey.blue);
        values.push_back(grey.red);
    }
    return values;
}

TEST(Style, LightAndDarkModesHaveTheirOwnGreysTextAndFocusColours) {
    wvwtest::setDarkMode(false);
    wvw::Style light;
    wvwtest::setDarkMode(true);
    wvw::Style dark;
    wvwtest::setDarkMode(false);

    EXPECT_EQ(greys(light), (std::vector<int>{216, 216, 216, 184, 238, 165}));
    EXPECT_EQ(greys(dark), (std::vector<int>{48, 48, 85, 102, 68, 119}));
    EXPECT_EQ(light.text, (plat::Rgb{0, 0, 0}));
    EXPECT_EQ(dark.text, (plat::Rgb{255, 255, 255}));
    EXPECT_EQ(light.focus, (plat::Rgb{0x66, 0xA7, 0xE8}));
    EXPECT_EQ(dark.focus, (plat::Rgb{0x0E, 0x5C, 0xCD}));
    EXPECT_EQ(light.padding, 2);
}

} // namespace
