// Boolean parameters: the accepted words and the report of refused ones.
#include <plat/BoolParameter.h>
#include <plat/Configuration.h>

#include <support/LogCapture.h>

#include <gtest/gtest.h>

namespace {

using plat::PreferencePriority;

TEST(BoolParameterWords, AcceptsBothListsInAnyCase) {
    plat::Configuration config("Test");
    plat::BoolParameter verbose("verbose", "Verbose.", false, false, &config);
    for (const char* word : {"1", "on", "TRUE", "Yes", "YES"}) {
        verbose.setParam("0", PreferencePriority);
        ASSERT_TRUE(verbose.setParam(word, PreferencePriority)) << word;
        EXPECT_TRUE(verbose.getValue()) << word;
    }
    for (const char* word : {"0", "off", "False", "NO"}) {
        verbose.setParam("1", PreferencePriority);
        ASSERT_TRUE(verbose.setParam(word, PreferencePriority)) << word;
        EXPECT_FALSE(verbose.getValue()) << word;
    }
}

TEST(BoolParameterWords, NullOrEmptyMeansTrue) {
    plat::Configuration config("Test");
    plat::BoolParameter verbose("verbose", "Verbose.", false, false, &config);
    EXPECT_TRUE(verbose.setParam(nullptr, PreferencePriority));
    EXPECT_TRUE(verbose.getValue());
    verbose.setParam("no", PreferencePriority);
    EXPECT_TRUE(verbose.setParam("", PreferencePriority));
    EXPECT_TRUE(verbose.getValue());
}

TEST(BoolParameterWords, OtherWordIsRefusedAndLogged) {
    plat::Configuration config("Test");
    plat::BoolParameter verbose("verbose", "Verbose.", true, false, &config);
    testsupport::LogCapture log("ConfigParameter:stderr:0");
    EXPECT_FALSE(verbose.setParam("yess", PreferencePriority));
    EXPECT_FALSE(verbose.setParam("10", PreferencePriority));
    EXPECT_TRUE(verbose.getValue());
    EXPECT_FALSE(verbose.hasValueAt(PreferencePriority));
    EXPECT_EQ(log.count("ConfigParameter: Bool parameter verbose: invalid value 'yess'\n"), 1)
        << log.text();
}

} // namespace
