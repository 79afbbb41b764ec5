// The behaviour every parameter class shares: values per priority, the store and unset steps
// with their log lines and listeners, "noPolicy", reset, copying, cloning and descriptions.
#include <plat/BoolParameter.h>
#include <plat/Configuration.h>
#include <plat/IntParameter.h>

#include "support/ChangeRecorder.h"

#include <support/LogCapture.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using plat::DefaultPriority;
using plat::PolicyPriority;
using plat::PreferencePriority;
using plattest::ChangeRecorder;
using testsupport::LogCapture;

class ParameterTest : public ::testing::Test {
protected:
    std::map<int, std::string> values() const {
        std::map<int, std::string> texts;
        for (const auto& [priority, text] : level.getValues())
            texts[priority] = text.c_str();
        return texts;
    }

    plat::Configuration config{"Test"};
    plat::IntParameter level{"Level", "Level.", 1, false, &config};
    ChangeRecorder recorder;
};

TEST_F(ParameterTest, PolicyHidesPreferenceAndEachChangeIsLogged) {
    LogCapture log("ConfigParameter:stderr:100");
    ASSERT_TRUE(level.setParam("7", PreferencePriority));
    ASSERT_TRUE(level.setParam("40", PolicyPriority));
    EXPECT_EQ(level.getValue(), 40);
    level.unset(PolicyPriority, true);
    EXPECT_EQ(level.getValue(), 7);
    level.setParam("3", DefaultPriority);
    EXPECT_EQ(log.count("ConfigParameter: set Level(int) to 7, priority 10\n"), 1) << log.text();
    EXPECT_EQ(log.count("ConfigParameter: unset Level(int) priority 30, now 7, priority 10\n"), 1);
    EXPECT_EQ(log.count("set Level(int) to 3"), 0) << "defaults are logged at level 110 only";
}

// Removes itself and another listener while being told about a change.
class SelfRemovingListener : public plat::ParameterChangedCallback {
public:
    void parameterChanged(plat::ConfigParameter& parameter, int) override {
        ++calls;
        parameter.removeCallback(this);
        parameter.removeCallback(other);
    }
    plat::ParameterChangedCallback* other = nullptr;
    int calls = 0;
};

TEST_F(ParameterTest, ListenerMayRemoveListenersWhileBeingTold) {
    SelfRemovingListener remover;
    remover.other = &recorder;
    level.addCallback(&remover);
    level.addCallback(&recorder);
    level.setParam("2", PreferencePriority);
    level.setParam("3", PreferencePriority);
    EXPECT_EQ(remover.calls, 1);
    EXPECT_TRUE(recorder.priorities.empty()) << "removed before its turn came";
}

TEST_F(ParameterTest, NoPolicyRefusesPolicyPrioritiesOnly) {
    plat::BoolParameter flag("Flag", "Flag.", false, false, &config, "secret,noPolicy");
    EXPECT_FALSE(flag.hasFlag("nopolicy")) << "flags are case-sensitive";
    EXPECT_FALSE(flag.setParam("1", PolicyPriority) || flag.setParam("1", 40));
    EXPECT_TRUE(flag.setParam("1", PreferencePriority));
    EXPECT_STREQ(flag.getFlags().get(), "noPolicy,secret");
}

TEST_F(ParameterTest, ResetRemovesEveryValueAboveTheDefaultWhichCanOnlyBeReplaced) {
    level.unset(DefaultPriority, true);
    EXPECT_FALSE(level.resetToDefault(true)) << "the default is current already";
    level.setParam(5, DefaultPriority);
    level.setParam(2, PreferencePriority);
    level.setParam(3, 40);
    level.addCallback(&recorder);
    EXPECT_TRUE(level.resetToDefault(true));
    EXPECT_EQ(values(), (std::map<int, std::string>{{0, "5"}}));
    EXPECT_EQ(recorder.priorities, (std::vector<int>{0}));
}

TEST_F(ParameterTest, CopyTakesExactlyTheOtherPriorities) {
    plat::IntParameter source("Level", "Level.", 5, false, &config);
    level.setParam(2, PreferencePriority);
    level.setParam(3, 40);
    source.setParam(9, PolicyPriority);
    level.addCallback(&recorder);
    level.copyFrom(source);
    EXPECT_EQ(values(), (std::map<int, std::string>{{0, "5"}, {30, "9"}}));
    EXPECT_EQ(recorder.priorities, (std::vector<int>{10, 40, 0, 30}));
    recorder.priorities.clear();
    level.copyFrom(level);
    EXPECT_EQ(level.getValue(), 9);
    EXPECT_TRUE(recorder.priorities.empty()) << "a copy onto itself changes nothing";
}

} // namespace
