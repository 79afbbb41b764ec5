// Command-line parsing: the argument forms, where parsing stops, the help arguments and the
// bad-argument report.
#include <plat/BoolParameter.h>
#include <plat/Configuration.h>
#include <plat/IntParameter.h>
#include <plat/StringParameter.h>
#include <plat/parseArgs.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using plat::PreferencePriority;
using testsupport::Raised;
using testsupport::raisedBy;

class ParseArgs : public ::testing::Test {
protected:
    plat::ParseArgsResult parse(std::vector<const char*> args, bool withHelp = false) {
        return plat::parseArgs(config, int(args.size()), args.data(),
                               withHelp ? handler() : plat::HelpHandler());
    }

    plat::HelpHandler handler() {
        return [this](int mode, plat::Configuration& handled) {
            helpModes.push_back(mode);
            EXPECT_EQ(&handled, &config);
        };
    }

    plat::Configuration config{"Test"};
    plat::BoolParameter verbose{"verbose", "Verbose.", false, false, &config};
    plat::IntParameter keepDays{"LogKeepDays", "Days.", 30, false, &config, 0, 1000};
    plat::StringParameter title{"Title", "Title.", "", false, &config};
    std::vector<int> helpModes;
};

TEST_F(ParseArgs, ConsumesEveryFormAtPreferencePriority) {
    plat::ParseArgsResult result =
        parse({"-Verbose", "-LogKeepDays", "7", "title=a b", "--verbose=0"});
    EXPECT_EQ(result.stoppedAt, 5);
    EXPECT_FALSE(result.helpHandled);
    EXPECT_FALSE(verbose.getValue());
    EXPECT_EQ(verbose.getPriority(), PreferencePriority);
    EXPECT_EQ(keepDays.getValue(), 7);
    EXPECT_EQ(keepDays.getPriority(), PreferencePriority);
    EXPECT_STREQ(title.getValue().get(), "a b");
}

TEST_F(ParseArgs, PairFormTakesOneDashOnly) {
    plat::ParseArgsResult result = parse({"--LogKeepDays", "7"});
    EXPECT_EQ(result.stoppedAt, 0);
    EXPECT_EQ(keepDays.getValue(), 30);
}

TEST_F(ParseArgs, BooleanSwitchDoesNotTakeTheNextWord) {
    plat::ParseArgsResult result = parse({"-verbose", "0"});
    EXPECT_EQ(result.stoppedAt, 1);
    EXPECT_TRUE(verbose.getValue());
}

TEST_F(ParseArgs, StopsAtTheFirstRefusalAndKeepsEarlierSettings) {
    plat::ParseArgsResult result = parse({"-verbose", "-LogKeepDays=5000", "-title=x"});
    EXPECT_EQ(result.stoppedAt, 1);
    EXPECT_TRUE(verbose.getValue());
    EXPECT_STREQ(title.getValue().get(), "");
}

TEST_F(ParseArgs, IntegerNameAsLastArgumentIsABadArgument) {
    std::vector<const char*> args{"-verbose", "-LogKeepDays"};
    EXPECT_EQ(parse(args).stoppedAt, 1);
    Raised raised = raisedBy<plat::BadCmdLineArg>(
        [&] { plat::parseArgsChecked(config, int(args.size()), args.data()); });
    EXPECT_EQ(raised.type, "BadCmdLineArg");
    EXPECT_EQ(raised.message, "Bad argument '-LogKeepDays'.");
}

TEST_F(ParseArgs, BadArgumentMessageMentionsHelpWhenOffered) {
    std::vector<const char*> args{"unknown"};
    try {
        plat::parseArgsChecked(config, int(args.size()), args.data(), handler());
        FAIL() << "no exception";
    } catch (const plat::Exception& e) {
        char display[plat::Exception::MessageCapacity + plat::Exception::TypeCapacity];
        e.displayForm(display, sizeof display);
        EXPECT_STREQ(display, "[BadCmdLineArg] Bad argument 'unknown'.  Run with -help for usage.");
    }
    EXPECT_TRUE(helpModes.empty());
}

TEST_F(ParseArgs, CheckedFormIsQuietWhenEverythingWasConsumed) {
    std::vector<const char*> args{"-verbose"};
    EXPECT_FALSE(plat::parseArgsChecked(config, int(args.size()), args.data()));
    EXPECT_FALSE(plat::parseArgsChecked(config, 0, nullptr));
}

TEST_F(ParseArgs, HelpArgumentsChooseTheMode) {
    struct Case {
        std::vector<const char*> args;
        int mode;
    };
    for (const Case& c :
         {Case{{"-help", "all"}, plat::HelpAdvanced}, Case{{"-HELP", "xml"}, plat::HelpXml},
          Case{{"-verbose", "--help", "ALL"}, plat::HelpAdvanced},
          Case{{"-h", "other"}, plat::HelpUsage}, Case{{"/?"}, plat::HelpUsage}}) {
        helpModes.clear();
        plat::ParseArgsResult result = parse(c.args, true);
        EXPECT_TRUE(result.helpHandled) << c.args[0];
        EXPECT_EQ(helpModes, (std::vector<int>{c.mode})) << c.args[0];
    }
}

TEST_F(ParseArgs, HelpNeedsAHandler) {
    std::vector<const char*> args{"-help"};
    EXPECT_FALSE(parse(args).helpHandled);
    EXPECT_THROW(plat::parseArgsChecked(config, 1, args.data()), plat::BadCmdLineArg);
    EXPECT_TRUE(plat::parseArgsChecked(config, 1, args.data(), handler()));
    EXPECT_EQ(helpModes, (std::vector<int>{plat::HelpUsage}));
}

TEST_F(ParseArgs, HiddenParametersAreSettable) {
    plat::BoolParameter hidden{"_Trace", "Trace.", false, true, &config};
    EXPECT_EQ(parse({"-_trace"}).stoppedAt, 1);
    EXPECT_TRUE(hidden.getValue());
}

} // namespace
