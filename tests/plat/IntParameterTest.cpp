// Integer parameters: C literal forms and the inclusive range.
#include <plat/Configuration.h>
#include <plat/IntParameter.h>

#include <gtest/gtest.h>

namespace {

using plat::PreferencePriority;

TEST(IntParameterParsing, RefusesOutOfRangeAndTrailingText) {
    plat::Configuration config("Test");
    plat::IntParameter depth("Depth", "Depth.", 8, false, &config, 1, 32);
    for (const char* text : {"0", "33", "12abc", "", " ", "4294967297", "1.5"})
        EXPECT_FALSE(depth.setParam(text, PreferencePriority)) << text;
    EXPECT_FALSE(depth.setParam(static_cast<const char*>(nullptr), PreferencePriority));
    EXPECT_EQ(depth.getValue(), 8);
    EXPECT_FALSE(depth.hasValueAt(PreferencePriority));
}

TEST(IntParameterParsing, AcceptsDecimalHexadecimalAndOctal) {
    plat::Configuration config("Test");
    plat::IntParameter depth("Depth", "Depth.", 8, false, &config, 1, 32);
    EXPECT_TRUE(depth.setParam("0x10", PreferencePriority));
    EXPECT_EQ(depth.getValue(), 16);
    EXPECT_TRUE(depth.setParam("010", PreferencePriority));
    EXPECT_EQ(depth.getValue(), 8);
    EXPECT_TRUE(depth.setParam("32", PreferencePriority));
    EXPECT_STREQ(depth.getValueStr().get(), "32");
}

TEST(IntParameterParsing, IntegerSetterChecksTheRangeToo) {
    plat::Configuration config("Test");
    plat::IntParameter offset("Offset", "Offset.", 0, false, &config, -5, 5);
    EXPECT_FALSE(offset.setParam(6, PreferencePriority));
    EXPECT_TRUE(offset.setValue(-5, PreferencePriority));
    EXPECT_STREQ(offset.getValueStr().get(), "-5");
}

TEST(IntParameterDeathTest, DefaultOutsideTheRangeIsAProgrammingError) {
    plat::Configuration config("Test");
    EXPECT_DEATH(plat::IntParameter("Depth", "Depth.", 0, false, &config, 1, 32),
                 "Default value 0 of Depth outside 1 to 32");
}

} // namespace
