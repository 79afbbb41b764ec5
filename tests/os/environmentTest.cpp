// Environment changes: failures of setting and removing, clearing in place, hiding one variable
// for a scope.

#include <os/unix/environment.h>

#include <plat/Exception.h>

#include <support/EnvironmentChange.h>
#include <support/forkedChild.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* Variable = "QV_OSTEST_VARIABLE";

TEST(EnvironmentChanges, BadNamesAndNullValuesRaiseEinval) {
    const std::function<void()> calls[] = {
        [] { os::setEnv("A=B", "x"); },
        [] { os::setEnv("", "x"); },
        [] { os::setEnv(Variable, nullptr); },
        [] { os::unsetEnv("A=B"); },
    };
    for (const auto& call : calls)
        EXPECT_EQ(testsupport::raisedBy<plat::SystemException>(call).error, EINVAL);
}

TEST(EnvironmentChanges, ClearEmptiesTheSameArray) {
    // In a child: the test process keeps its environment.
    int status = testsupport::exitStatusOfForkedChild([] {
        ::setenv(Variable, "value", 1);
        char** array = environ;
        os::clearEnvironment();
        if (environ != array || environ[0] != nullptr || std::getenv(Variable) != nullptr)
            return 1;
        os::setEnv(Variable, "again");
        return std::string(std::getenv(Variable)) == "again" ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
}

TEST(HiddenVariable, ReadsEmptyWhileHiddenAndALaterValueIsLeftAlone) {
    testsupport::EnvironmentChange restore(Variable, std::string("secret"));
    const char* storage = std::getenv(Variable);
    {
        os::HiddenEnvironmentVariable hidden(Variable);
        // The entry itself is emptied, so children started meanwhile see it empty too.
        EXPECT_EQ(std::getenv(Variable), storage);
        EXPECT_STREQ(std::getenv(Variable), "");
    }
    EXPECT_STREQ(std::getenv(Variable), "secret");
    {
        os::HiddenEnvironmentVariable hidden(Variable);
        os::setEnv(Variable, "newer");
    }
    EXPECT_STREQ(std::getenv(Variable), "newer");
    os::unsetEnv(Variable);
    {
        os::HiddenEnvironmentVariable hidden(Variable);
        EXPECT_EQ(std::getenv(Variable), nullptr);
    }
    EXPECT_EQ(std::getenv(Variable), nullptr);
}

} // namespace
