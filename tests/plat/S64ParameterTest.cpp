// 64-bit parameters: the "int64:" text form and the little-endian byte form.
#include <plat/Configuration.h>
#include <plat/S64Parameter.h>

#include <gtest/gtest.h>

namespace {

using plat::PreferencePriority;

TEST(S64ParameterText, DefaultIsWrittenMostSignificantFirst) {
    plat::Configuration config("Test");
    plat::S64Parameter stamp("Stamp", "Stamp.", 0x0123456789ABCDEFLL, false, &config);
    EXPECT_STREQ(stamp.getValueStr().get(), "int64:0123456789abcdef");
    EXPECT_EQ(stamp.getValue(), 0x0123456789ABCDEFLL);
}

TEST(S64ParameterText, SixteenDigitsAreLittleEndianBytes) {
    plat::Configuration config("Test");
    plat::S64Parameter stamp("Stamp", "Stamp.", 0, false, &config);
    ASSERT_TRUE(stamp.setParam("0100000000000000", PreferencePriority));
    EXPECT_EQ(stamp.getValue(), 1);
    EXPECT_STREQ(stamp.getValueStr().get(), "int64:0000000000000001");
    ASSERT_TRUE(stamp.setParam("feffffffffffffff", PreferencePriority));
    EXPECT_EQ(stamp.getValue(), -2);
}

TEST(S64ParameterText, PrefixedFormIsKeptAsItIs) {
    plat::Configuration config("Test");
    plat::S64Parameter stamp("Stamp", "Stamp.", 0, false, &config);
    ASSERT_TRUE(stamp.setParam("int64:FFFFFFFFFFFFFFFF", PreferencePriority));
    EXPECT_EQ(stamp.getValue(), -1);
    EXPECT_STREQ(stamp.getValueStr().get(), "int64:FFFFFFFFFFFFFFFF");
}

TEST(S64ParameterText, RefusesEverythingElse) {
    plat::Configuration config("Test");
    plat::S64Parameter stamp("Stamp", "Stamp.", 5, false, &config);
    for (const char* text : {"01000000000000", "010000000000000000", "int64:123",
                             "int64:000000000000000g", "5", "", "int64:0000000000000001 "})
        EXPECT_FALSE(stamp.setParam(text, PreferencePriority)) << text;
    EXPECT_FALSE(stamp.setParam(static_cast<const char*>(nullptr), PreferencePriority));
    EXPECT_EQ(stamp.getValue(), 5);
}

TEST(S64ParameterText, TypedSetterStoresThePrefixedForm) {
    plat::Configuration config("Test");
    plat::S64Parameter stamp("Stamp", "Stamp.", 0, false, &config);
    ASSERT_TRUE(stamp.setValue(INT64_MIN, PreferencePriority));
    EXPECT_STREQ(stamp.getValueStrAt(PreferencePriority).get(), "int64:8000000000000000");
    EXPECT_EQ(stamp.getValue(), INT64_MIN);
}

} // namespace
