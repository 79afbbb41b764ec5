// Text parameters: null refusal and the UTF-8 check.
#include <plat/Configuration.h>
#include <plat/Exception.h>
#include <plat/StringParameter.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

namespace {

using plat::PreferencePriority;

TEST(StringParameterValues, NullAndBadUtf8AreRefusedAndEmptyIsAValue) {
    plat::Configuration config("Test");
    plat::StringParameter title("Title", "Title.", "none", false, &config);
    EXPECT_FALSE(title.setParam(static_cast<const char*>(nullptr), PreferencePriority));
    EXPECT_FALSE(title.setParam(3, PreferencePriority));
    EXPECT_EQ(testsupport::raisedBy<plat::BadUtf8>([&] {
                  title.setParam("caf\xC3", PreferencePriority);
              }).message,
              "Bad UTF-8 string for Title");
    EXPECT_STREQ(title.getValueStr().get(), "none");
    EXPECT_TRUE(title.setParam("caf\u00E9", PreferencePriority));
    EXPECT_STREQ(title.getValue().get(), "caf\u00E9");
    EXPECT_TRUE(title.setParam("", PreferencePriority));
    EXPECT_STREQ(title.getValue().get(), "");
}

} // namespace
