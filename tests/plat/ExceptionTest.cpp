// The exception family: inline texts, system error texts and assertions.
#include <plat/Exception.h>

#include <plat/Configuration.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <tuple>

namespace {

TEST(SystemException, AppendsTheSystemTextAndTheNumberToTheContext) {
    using Case = std::tuple<const char*, int, std::string>;
    for (const auto& [context, error, message] :
         {Case{"open(/x)", ENOENT, std::string("open(/x): ") + std::strerror(ENOENT) + " (2)"},
          Case{"", 0, "Success (0)"}, Case{"ioctl", 98765, "ioctl: Unknown error (98765)"}}) {
        plat::SystemException e(context, error);
        EXPECT_EQ(e.message(), message);
        EXPECT_EQ(e.typeText(), "System-" + std::to_string(error));
    }
}

using AssertionFailDeathTest = ::testing::Test;

TEST_F(AssertionFailDeathTest, PrintsTheConditionFileLineInformationAndAStackTrace) {
    EXPECT_DEATH(PLAT_ASSERT(1 + 1 == 3),
                 "Assertion '1 \\+ 1 == 3' failed at .*ExceptionTest.cpp:[0-9]+");
    EXPECT_DEATH(PLAT_ASSERT_INFO(false, "value %d", 42),
                 "Assertion 'false' failed at .*: value 42");
    EXPECT_DEATH(PLAT_ASSERT(false), "Assertion: stacktrace:  1 ");
}

TEST_F(AssertionFailDeathTest, BadUtf8CanBeMadeAnAssertion) {
    EXPECT_DEATH(
        {
            plat::Configuration::global().set("_BadUtf8Assert", "1", plat::PreferencePriority);
            plat::BadUtf8 e("Bad UTF-8 in test");
        },
        "Assertion '0' failed at .*: Bad UTF-8 in test");
}

} // namespace
