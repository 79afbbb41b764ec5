// 64-bit parameters: the "int64:" text form and the little-endian byte form.
#include <plat/Configuration.h>
#include <plat/S64Parameter.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

namespace {

using plat::PreferencePriority;

TEST(S64ParameterText, AcceptsTheByteAndPrefixedFormsOnly) {
    plat::Configuration config("Test");
    plat::S64Parameter stamp("Stamp", "Stamp.", 0x0123456789ABCDEFLL, false, &config);
    EXPECT_STREQ(stamp.getValueStr().get(), "int64:0123456789abcdef") << "most significant first";
    using Case = std::tuple<const char*, std::int64_t, const char*>;
    for (auto [given, value, kept] :
         {Case{"0100000000000000", 1, "int64:0000000000000001"},
          Case{"feffffffffffffff", -2, "int64:fffffffffffffffe"},
          Case{"int64:FFFFFFFFFFFFFFFF", -1, "int64:FFFFFFFFFFFFFFFF"}}) {
        SCOPED_TRACE(given);
        ASSERT_TRUE(stamp.setParam(given, PreferencePriority));
        EXPECT_EQ(stamp.getValue(), value);
        EXPECT_STREQ(stamp.getValueStr().get(), kept);
    }
    ASSERT_TRUE(stamp.setValue(INT64_MIN, PreferencePriority));
    EXPECT_STREQ(stamp.getValueStrAt(PreferencePriority).get(), "int64:8000000000000000");
    for (const char* text : {"01000000000000", "010000000000000000", "int64:123",
                             "int64:000000000000000g", "", "int64:0000000000000001 "})
        EXPECT_FALSE(stamp.setParam(text, PreferencePriority)) << text;
    EXPECT_FALSE(stamp.setParam(static_cast<const char*>(nullptr), PreferencePriority));
    EXPECT_EQ(stamp.getValue(), INT64_MIN);
}

} // namespace
