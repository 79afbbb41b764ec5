// Command-line parsing: the argument forms, the help arguments and the bad-argument report.
#include <plat/BoolParameter.h>
#include <plat/Configuration.h>
#include <plat/IntParameter.h>
#include <plat/StringParameter.h>
#include <plat/parseArgs.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <tuple>
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

    bool checked(std::vector<const char*> args, plat::HelpHandler help = nullptr) {
        return plat::parseArgsChecked(config, int(args.size()), args.data(), help);
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
    EXPECT_EQ(parse({"-Verbose", "-LogKeepDays", "7", "title=a b", "--verbose=0"}).stoppedAt, 5);
    EXPECT_FALSE(verbose.getValue());
    EXPECT_EQ(keepDays.getValue(), 7);
    EXPECT_EQ(keepDays.getPriority(), PreferencePriority);
    EXPECT_STREQ(title.getValue().get(), "a b");
}

TEST_F(ParseArgs, BadArgumentMessageMentionsHelpWhenOffered) {
    try {
        checked({"unknown"}, handler());
        FAIL() << "no exception";
    } catch (const plat::Exception& e) {
        char display[plat::Exception::MessageCapacity + plat::Exception::TypeCapacity];
        e.displayForm(display, sizeof display);
        EXPECT_STREQ(display, "[BadCmdLineArg] Bad argument 'unknown'.  Run with -help for usage.");
    }
    EXPECT_TRUE(helpModes.empty());
}

TEST_F(ParseArgs, HelpArgumentsChooseTheMode) {
    using Case = std::tuple<std::vector<const char*>, int>;
    for (const auto& [args, mode] :
         {Case{{"-help", "all"}, plat::HelpAdvanced}, Case{{"-HELP", "xml"}, plat::HelpXml},
          Case{{"-verbose", "--help", "ALL"}, plat::HelpAdvanced},
          Case{{"-h", "other"}, plat::HelpUsage}, Case{{"/?"}, plat::HelpUsage}}) {
        helpModes.clear();
        EXPECT_TRUE(parse(args, true).helpHandled) << args[0];
        EXPECT_EQ(helpModes, (std::vector<int>{mode})) << args[0];
    }
}

TEST_F(ParseArgs, CheckedFormIsQuietWhenAllWasTakenAndOtherwiseHandsOverToHelpOrThrows) {
    EXPECT_FALSE(checked({"-verbose"}));
    EXPECT_FALSE(plat::parseArgsChecked(config, 0, nullptr));
    Raised raised = raisedBy<plat::BadCmdLineArg>([&] { checked({"-verbose", "-LogKeepDays"}); });
    EXPECT_EQ(raised.type, "BadCmdLineArg");
    EXPECT_EQ(raised.message, "Bad argument '-LogKeepDays'.") << "an integer needs its value";
    EXPECT_FALSE(parse({"-help"}).helpHandled);
    EXPECT_THROW(checked({"-help"}), plat::BadCmdLineArg) << "help needs a handler";
    EXPECT_TRUE(checked({"-help"}, handler()));
    EXPECT_EQ(helpModes, (std::vector<int>{plat::HelpUsage}));
}

} // namespace
