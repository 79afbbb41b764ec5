// $-variable expansion from a map and the environment.
#include <plat/expandVars.h>

#include <plat/Exception.h>

#include <support/EnvironmentChange.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

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
    struct Case {
        const char* text;
        const char* result;
    };
    for (Case c : {
             Case{"hello $name!", "hello world!"},
             Case{"${Name}s", "WORLDs"},
             Case{"$name_x.$Name", ".WORLD"},
             Case{"cost $$5", "cost $5"},
             Case{"${}", "$"},
             Case{"$/tmp", "/tmp"},
             Case{"trailing $", "trailing "},
             Case{"${name", "world"},
             Case{"${na me}", ""},
             Case{"$EXPANDVARS_TEST_HOME/.kbx", "map/.kbx"},
             Case{"no variables", "no variables"},
         }) {
        EXPECT_STREQ(plat::expandVars(c.text, &variables).get(), c.result) << c.text;
    }
}

TEST_F(ExpandVars, FallsBackToTheEnvironmentWhenAllowed) {
    EXPECT_STREQ(plat::expandVars("$EXPANDVARS_TEST_HOME/.kbx").get(), "/home/tester/.kbx");
    EXPECT_STREQ(plat::expandVars("$EXPANDVARS_TEST_HOME/.kbx", nullptr, false, false).get(),
                 "/.kbx");
    EXPECT_STREQ(plat::expandVars("[$EXPANDVARS_TEST_UNSET]").get(), "[]");
}

TEST_F(ExpandVars, UnknownNameThrowsWhenAsked) {
    EXPECT_EQ(
        raisedBy([&] { plat::expandVars("$EXPANDVARS_TEST_UNSET/x", &variables, true); }).message,
        "unknown environment variable: EXPANDVARS_TEST_UNSET");
    EXPECT_THROW(plat::expandVars("$EXPANDVARS_TEST_HOME", nullptr, true, false), plat::Exception);
    EXPECT_STREQ(plat::expandVars("$name", &variables, true, false).get(), "world");
}

} // namespace
