// The behaviour every parameter class shares: values per priority, the store and unset steps
// with their log lines and listeners, "noPolicy", reset, copying, cloning and descriptions.
#include <plat/BoolParameter.h>
#include <plat/Configuration.h>
#include <plat/IntParameter.h>
#include <plat/StringParameter.h>

#include "support/ChangeRecorder.h"

#include <support/LogCapture.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using plat::DefaultPriority;
using plat::PolicyPriority;
using plat::PreferencePriority;
using plattest::ChangeRecorder;
using testsupport::LogCapture;

TEST(ParameterPriorities, PolicyHidesPreferenceAndUnsetRestoresIt) {
    plat::Configuration config("Test");
    plat::IntParameter level("Level", "Level.", 1, false, &config);
    ASSERT_TRUE(level.setParam("7", PreferencePriority));
    ASSERT_TRUE(level.setParam("40", PolicyPriority));
    EXPECT_EQ(level.getValue(), 40);
    EXPECT_EQ(level.getPriority(), PolicyPriority);

    LogCapture log;
    level.unset(PolicyPriority, true);
    EXPECT_EQ(level.getValue(), 7);
    EXPECT_EQ(level.getPriority(), PreferencePriority);
    EXPECT_EQ(log.count("ConfigParameter: unset Level(int) priority 30, now 7, priority 10\n"), 1)
        << log.text();
}

TEST(ParameterPriorities, DefaultCannotBeRemovedButCanBeReplaced) {
    plat::Configuration config("Test");
    plat::IntParameter level("Level", "Level.", 1, false, &config);
    level.unset(DefaultPriority, true);
    EXPECT_TRUE(level.hasValueAt(DefaultPriority));
    ASSERT_TRUE(level.setParam(5, DefaultPriority));
    EXPECT_EQ(level.getValue(), 5);
    EXPECT_EQ(level.getValues().size(), 1u);
}

TEST(ParameterStoreStep, LogsEachChangeWithTypeValueAndPriority) {
    plat::Configuration config("Test");
    plat::IntParameter level("Level", "Level.", 1, false, &config);
    LogCapture log("ConfigParameter:stderr:100");
    level.setParam("12", PreferencePriority);
    level.setParam("3", DefaultPriority);
    EXPECT_EQ(log.count("set Level(int) to 12, priority 10\n"), 1) << log.text();
    EXPECT_EQ(log.count("set Level(int) to 3"), 0) << "defaults are logged at level 110 only";
}

TEST(ParameterStoreStep, ConfigurationCanSilenceChangeLogging) {
    plat::Configuration config("Test");
    config.setLogChanges(false);
    plat::IntParameter level("Level", "Level.", 1, false, &config);
    LogCapture log;
    level.setParam("12", PreferencePriority);
    level.unset(PreferencePriority, false);
    EXPECT_EQ(log.count("Level(int)"), 0) << log.text();
}

TEST(ParameterStoreStep, ListenersHearEachRealStoreOnce) {
    plat::Configuration config("Test");
    plat::StringParameter name("Name", "Name.", "a", false, &config);
    ChangeRecorder recorder;
    name.addCallback(&recorder);
    name.addCallback(&recorder);
    name.setParam("b", PreferencePriority);
    name.setParam("b", PreferencePriority);
    name.setParam("a", 40);
    name.unset(40, false);
    name.unset(PreferencePriority, true);
    name.unset(PreferencePriority, true);
    EXPECT_EQ(recorder.priorities, (std::vector<int>{10, 40, 10}));
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

TEST(ParameterStoreStep, ListenerMayRemoveListenersWhileBeingTold) {
    plat::Configuration config("Test");
    plat::BoolParameter flag("Flag", "Flag.", false, false, &config);
    SelfRemovingListener remover;
    ChangeRecorder removed;
    remover.other = &removed;
    flag.addCallback(&remover);
    flag.addCallback(&removed);
    flag.setParam("1", PreferencePriority);
    flag.setParam("0", PreferencePriority);
    EXPECT_EQ(remover.calls, 1);
    EXPECT_TRUE(removed.priorities.empty()) << "removed before its turn came";
}

TEST(ParameterFlags, NoPolicyRefusesPolicyPrioritiesOnly) {
    plat::Configuration config("Test");
    plat::BoolParameter flag("Flag", "Flag.", false, false, &config, "secret,noPolicy");
    EXPECT_TRUE(flag.hasFlag("noPolicy"));
    EXPECT_TRUE(flag.hasFlag("secret"));
    EXPECT_FALSE(flag.hasFlag("nopolicy")) << "flags are case-sensitive";
    EXPECT_FALSE(flag.setParam("1", PolicyPriority));
    EXPECT_FALSE(flag.setParam("1", 40));
    EXPECT_FALSE(flag.hasValueAt(PolicyPriority));
    EXPECT_TRUE(flag.setParam("1", PreferencePriority));
    EXPECT_STREQ(flag.getFlags().get(), "noPolicy,secret");
}

TEST(ParameterReset, RemovesEveryValueAboveTheDefaultAndNotifiesOnce) {
    plat::Configuration config("Test");
    plat::IntParameter level("Level", "Level.", 1, false, &config);
    ChangeRecorder recorder;
    EXPECT_FALSE(level.resetToDefault(true)) << "the default is current already";
    level.setParam(2, PreferencePriority);
    level.setParam(3, 40);
    level.addCallback(&recorder);
    EXPECT_TRUE(level.resetToDefault(true));
    EXPECT_EQ(level.getValue(), 1);
    EXPECT_EQ(level.getValues().size(), 1u);
    EXPECT_EQ(recorder.priorities, (std::vector<int>{0}));
}

TEST(ParameterCopy, TakesExactlyTheOtherPriorities) {
    plat::Configuration config("Test");
    plat::IntParameter target("Level", "Level.", 1, false, &config);
    plat::IntParameter source("Level", "Level.", 5, false, &config);
    target.setParam(2, PreferencePriority);
    target.setParam(3, 40);
    source.setParam(9, PolicyPriority);
    ChangeRecorder recorder;
    target.addCallback(&recorder);
    target.copyFrom(source);
    std::map<int, plat::DString> values = target.getValues();
    ASSERT_EQ(values.size(), 2u);
    EXPECT_STREQ(values[0].get(), "5");
    EXPECT_STREQ(values[30].get(), "9");
    EXPECT_EQ(recorder.priorities, (std::vector<int>{10, 40, 0, 30}));
}

TEST(ParameterCopy, CopyOntoItselfChangesNothing) {
    plat::Configuration config("Test");
    plat::IntParameter level("Level", "Level.", 1, false, &config);
    level.setParam(2, PreferencePriority);
    ChangeRecorder recorder;
    level.addCallback(&recorder);
    level.copyFrom(level);
    EXPECT_EQ(level.getValue(), 2);
    EXPECT_TRUE(recorder.priorities.empty());
}

TEST(ParameterClone, CopiesIdentityAndValuesWithOwnedStrings) {
    plat::Configuration original("Original");
    plat::Configuration target("Target");
    char name[] = "Level";
    char description[] = "How much.";
    plat::IntParameter level(name, description, 4, true, &original, 0, 9, "noPolicy");
    level.setParam(6, PreferencePriority);
    plat::ConfigParameter* copy = level.clone(&target);
    std::strcpy(name, "XXXXX");
    std::strcpy(description, "XXXXXXXXX");

    ASSERT_EQ(target.findParam("level", false), copy);
    EXPECT_EQ(copy->getConfiguration(), &target);
    EXPECT_STREQ(copy->getName(), "Level");
    EXPECT_STREQ(copy->getDescription(), "How much.");
    EXPECT_TRUE(copy->isAdvanced());
    EXPECT_TRUE(copy->hasFlag("noPolicy"));
    EXPECT_STREQ(copy->getTypeName(), "int");
    EXPECT_EQ(copy->getValueInt(), 6);
    EXPECT_STREQ(copy->getValueStrAt(DefaultPriority).get(), "4");
    EXPECT_FALSE(copy->setParam(10, 20)) << "the range came along";
}

TEST(ParameterDescriptionText, KeyFormIsTranslated) {
    plat::Configuration config("Test");
    plat::BoolParameter flag("Flag", plat::DescriptionKey("plat_configuration_help_default"), false,
                             false, &config);
    EXPECT_STREQ(flag.getDescription(), "default");
    EXPECT_STREQ(flag.getDescriptionKey(), "plat_configuration_help_default");
}

TEST(ParameterDescriptionDeathTest, OneDescriptionIsRequired) {
    plat::Configuration config("Test");
    EXPECT_DEATH(plat::BoolParameter("Flag", nullptr, false, false, &config),
                 "Assertion 'desc \\|\\| locDesc' failed");
}

TEST(ParameterRegistration, StaticParametersReachTheGlobalConfiguration) {
    plat::ConfigParameter* assertSwitch = plat::Configuration::global().findParam("_badutf8assert");
    ASSERT_NE(assertSwitch, nullptr);
    EXPECT_TRUE(assertSwitch->isAdvanced());
    EXPECT_STREQ(assertSwitch->getValueStr().get(), "0");
    EXPECT_STREQ(assertSwitch->getDescription(),
                 "Make bad UTF-8 cause an assertion failure for debugging");
}

} // namespace
