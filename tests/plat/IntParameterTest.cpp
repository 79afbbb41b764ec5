// Integer parameters: C literal forms and the inclusive range.
#include <plat/Configuration.h>
#include <plat/IntParameter.h>

#include <gtest/gtest.h>

#include <utility>

namespace {

using plat::PreferencePriority;

TEST(IntParameterParsing, AcceptsDecimalHexadecimalAndOctalWithinTheRangeOnly) {
    plat::Configuration config("Test");
    plat::IntParameter depth("Depth", "Depth.", 8, false, &config, 1, 32);
    const std::pair<const char*, int> cases[] = {{"0x10", 16}, {"010", 8}, {"32", 32}, {"1", 1}};
    for (auto [text, value] : cases) {
        EXPECT_TRUE(depth.setParam(text, PreferencePriority)) << text;
        EXPECT_EQ(depth.getValue(), value) << text;
    }
    depth.unset(PreferencePriority, false);
    for (const char* text : {"0", "33", "12abc", "", "4294967297"})
        EXPECT_FALSE(depth.setParam(text, PreferencePriority)) << text;
    EXPECT_FALSE(depth.setParam(static_cast<const char*>(nullptr), PreferencePriority));
    EXPECT_FALSE(depth.setParam(33, PreferencePriority)) << "the integer setter checks too";
    plat::IntParameter offset("Offset", "Offset.", 0, false, &config, -5, 5);
    EXPECT_TRUE(offset.setValue(-5, PreferencePriority));
    EXPECT_STREQ(offset.getValueStr().get(), "-5");
}

} // namespace
