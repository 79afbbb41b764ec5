// $-variable expansion from a map and the environment.
#include <plat/expandVars.h>

#include <plat/Exception.h>

#include <support/EnvironmentChange.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <utility>

namespace {

using testsupport::raisedBy;

class ExpandVars : public ::testing::Test {
protected:
    testsupport::EnvironmentChange home{"EXPANDVARS_TEST_HOME", "/home/tester"};
    testsupport::EnvironmentChange unset{"EXPANDVARS_TEST_UNSET", std::nullopt};
    plat::VariableMap variables{
        {"name", "world"}, {"Name", "WORLD"}, {"EXPANDVARS_TEST_HOME", "map"}};
};

TEST_F(ExpandVars, ReplacesBareAndBracedNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"${Name}s", "WORLDs"},
        {"$name_x.$Name", ".WORLD"},
        {"cost $$5", "cost $5"},
        {"${}", "$"},
        {"$/tmp", "/tmp"},
        {"trailing $", "trailing "},
        {"${name", "world"},
        {"${na me}", ""},
        {"$EXPANDVARS_TEST_HOME/.kbx", "map/.kbx"},
    };
    for (auto [text, result] : cases)
        EXPECT_STREQ(plat::expandVars(text, &variables).get(), result) << text;
}

TEST_F(ExpandVars, UnknownNameThrowsWhenAsked) {
    EXPECT_EQ(
        raisedBy([&] { plat::expandVars("$EXPANDVARS_TEST_UNSET/x", &variables, true); }).message,
        "unknown environment variable: EXPANDVARS_TEST_UNSET");
    EXPECT_THROW(plat::expandVars("$EXPANDVARS_TEST_HOME", nullptr, true, false), plat::Exception);
    EXPECT_STREQ(plat::expandVars("$name", &variables, true, false).get(), "world");
}

} // namespace
