// Boolean parameters: the accepted words and the report of refused ones.
#include <plat/BoolParameter.h>
#include <plat/Configuration.h>

#include <support/LogCapture.h>

#include <gtest/gtest.h>

#include <tuple>

namespace {

using plat::PreferencePriority;

TEST(BoolParameterWords, BothListsInAnyCaseAndNothingMeansTrue) {
    plat::Configuration config("Test");
    plat::BoolParameter verbose("verbose", "Verbose.", false, false, &config);
    using Case = std::tuple<const char*, bool>;
    for (auto [word, value] :
         {Case{"on", true}, Case{"TRUE", true}, Case{"Yes", true}, Case{nullptr, true},
          Case{"", true}, Case{"0", false}, Case{"False", false}, Case{"NO", false}}) {
        SCOPED_TRACE(word ? word : "<null>");
        verbose.setValue(!value, PreferencePriority);
        ASSERT_TRUE(verbose.setParam(word, PreferencePriority));
        EXPECT_EQ(verbose.getValue(), value);
    }
}

TEST(BoolParameterWords, OtherWordIsRefusedAndLogged) {
    plat::Configuration config("Test");
    plat::BoolParameter verbose("verbose", "Verbose.", true, false, &config);
    testsupport::LogCapture log("ConfigParameter:stderr:0");
    EXPECT_FALSE(verbose.setParam("yess", PreferencePriority) ||
                 verbose.setParam("10", PreferencePriority));
    EXPECT_EQ(log.count("ConfigParameter: Bool parameter verbose: invalid value 'yess'\n"), 1)
        << log.text();
}

} // namespace
