// $-variable expansion from a map and the environment.
#include <plat/expandVars.h>

#include <plat/Exception.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class ExpandVars : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("EXPANDVARS_TEST_HOME", "/home/tester", 1);
        unsetenv("EXPANDVARS_TEST_UNSET");
    }
    void TearDown() override { unsetenv("EXPANDVARS_TEST_HOME"); }

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
    try {
        plat::expandVars("$EXPANDVARS_TEST_UNSET/x", &variables, true);
        FAIL() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_STREQ(e.message(), "unknown environment variable: EXPANDVARS_TEST_UNSET");
    }
    EXPECT_THROW(plat::expandVars("$EXPANDVARS_TEST_HOME", nullptr, true, false), plat::Exception);
    EXPECT_STREQ(plat::expandVars("$name", &variables, true, false).get(), "world");
}

} // namespace
