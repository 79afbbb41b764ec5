// The parameter registry: lookup through children, setting by name and by argument, aliases,
// run-time parameters, merging, comparison, alias migration and the value listing.
#include <plat/BinaryParameter.h>
#include <plat/BoolParameter.h>
#include <plat/ConfigValueStore.h>
#include <plat/Configuration.h>
#include <plat/EnumParameter.h>
#include <plat/Exception.h>
#include <plat/IntParameter.h>
#include <plat/S64Parameter.h>
#include <plat/StringParameter.h>

#include <support/LogCapture.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using plat::PreferencePriority;
using testsupport::raisedBy;

TEST(ConfigurationLookup, FindsWithoutCaseHereBeforeChildren) {
    plat::Configuration root("Root");
    plat::Configuration child("Child");
    plat::Configuration grandchild("Grandchild");
    root.addChild(child);
    child.addChild(grandchild);
    plat::IntParameter deep("Depth", "Depth.", 3, false, &grandchild);
    plat::IntParameter shadowed("Depth", "Depth.", 1, false, &root);
    EXPECT_EQ(root.findParam("DEPTH"), &shadowed);
    EXPECT_EQ(child.findParam("depth"), &deep);
    EXPECT_EQ(child.findParam("depth", false), nullptr);
    EXPECT_EQ(root.findParam("missing"), nullptr);
}

TEST(ConfigurationLookup, GetParamNamesTheMissingParameter) {
    plat::Configuration config("Test");
    EXPECT_EQ(raisedBy([&] { config.getParam("Nowhere"); }).message, "Parameter Nowhere not found");
    EXPECT_THROW(config.getIntParam("Nowhere"), plat::Exception);
}

TEST(ConfigurationLookup, TypedGettersAndBoolFallback) {
    plat::Configuration config("Test");
    plat::BoolParameter flag("Flag", "Flag.", true, false, &config);
    plat::S64Parameter stamp("Stamp", "Stamp.", 1, false, &config);
    EXPECT_EQ(&config.getBoolParam("flag"), &flag);
    EXPECT_EQ(&config.getS64Param("stamp"), &stamp);
    EXPECT_EQ(&config.getStringParam("stamp"), &stamp) << "an S64 parameter is a string one";
    EXPECT_TRUE(config.getBool("flag", false));
    EXPECT_FALSE(config.getBool("absent", false));
    EXPECT_TRUE(config.getBool("stamp", true)) << "not a Boolean: the fallback";
}

TEST(ConfigurationLookupDeathTest, TypedGetterOfAnotherClassIsAProgrammingError) {
    plat::Configuration config("Test");
    plat::IntParameter depth("Depth", "Depth.", 1, false, &config);
    EXPECT_DEATH(config.getBoolParam("Depth"), "Parameter Depth has another type");
}

TEST(ConfigurationSet, ByNameThenChildrenInOrder) {
    plat::Configuration root("Root");
    plat::Configuration first("First");
    plat::Configuration second("Second");
    root.addChild(first);
    root.addChild(second);
    plat::IntParameter inFirst("Depth", "Depth.", 1, false, &first, 0, 5);
    plat::IntParameter inSecond("Depth", "Depth.", 1, false, &second, 0, 100);
    EXPECT_TRUE(root.set("depth", "4", PreferencePriority));
    EXPECT_EQ(inFirst.getValue(), 4);
    EXPECT_TRUE(root.set("depth", "50", PreferencePriority)) << "the first child refuses";
    EXPECT_EQ(inSecond.getValue(), 50);
    EXPECT_FALSE(root.set("unknown", "1", PreferencePriority));
}

TEST(ConfigurationSet, RefusalHereIsFinal) {
    plat::Configuration root("Root");
    plat::Configuration child("Child");
    root.addChild(child);
    plat::IntParameter here("Depth", "Depth.", 1, false, &root, 0, 5);
    plat::IntParameter below("Depth", "Depth.", 1, false, &child, 0, 100);
    EXPECT_FALSE(root.set("Depth", "50", PreferencePriority));
    EXPECT_EQ(below.getValue(), 1);
}

TEST(ConfigurationAliases, SetAllTargetsAtTheSamePriority) {
    plat::Configuration config("Test");
    plat::BoolParameter sound("Sound", "Sound.", false, false, &config);
    plat::BoolParameter music("Music", "Music.", false, false, &config);
    config.addAlias("Audio", {"Sound", "Music"});
    EXPECT_TRUE(config.set("AUDIO", "1", 40));
    EXPECT_TRUE(sound.getValue());
    EXPECT_TRUE(music.getValue());
    EXPECT_EQ(sound.getPriority(), 40);
    EXPECT_EQ(music.getPriority(), 40);
    EXPECT_TRUE(config.setFromArg("-audio=0", PreferencePriority));
    EXPECT_TRUE(music.hasValueAt(PreferencePriority));
}

TEST(ConfigurationAliases, SucceedWhenAnyTargetTakesTheValue) {
    plat::Configuration config("Test");
    plat::IntParameter small("Small", "Small.", 1, false, &config, 0, 9);
    plat::IntParameter large("Large", "Large.", 1, false, &config, 0, 99);
    config.addAlias("Size", {"Small", "Large", "Gone"});
    config.addAlias("Nothing", {});
    EXPECT_TRUE(config.set("Size", "50", PreferencePriority));
    EXPECT_EQ(large.getValue(), 50);
    EXPECT_EQ(small.getValue(), 1);
    EXPECT_FALSE(config.set("Size", "500", PreferencePriority));
    EXPECT_TRUE(config.set("Nothing", "x", PreferencePriority)) << "no targets, nothing refused";
}

TEST(ConfigurationAliases, AliasNamingItselfIsRefusedNotEndless) {
    plat::Configuration config("Test");
    config.addAlias("Loop", {"Loop"});
    config.addAlias("Ping", {"Pong"});
    config.addAlias("Pong", {"Ping"});
    EXPECT_FALSE(config.set("Loop", "1", PreferencePriority));
    EXPECT_FALSE(config.set("Ping", "1", PreferencePriority));
}

TEST(ConfigurationArguments, EveryForm) {
    plat::Configuration config("Test");
    plat::BoolParameter verbose("verbose", "Verbose.", false, false, &config);
    plat::IntParameter depth("Depth", "Depth.", 1, false, &config);
    EXPECT_TRUE(config.setFromArg("-Verbose", PreferencePriority));
    EXPECT_TRUE(verbose.getValue());
    EXPECT_EQ(verbose.getPriority(), PreferencePriority);
    EXPECT_TRUE(config.setFromArg("-verbose=0", PreferencePriority));
    EXPECT_FALSE(verbose.getValue());
    EXPECT_TRUE(config.setFromArg("--verbose=1", PreferencePriority));
    EXPECT_TRUE(verbose.getValue());
    EXPECT_TRUE(config.setFromArg("verbose=no", PreferencePriority));
    EXPECT_FALSE(verbose.getValue());
    EXPECT_FALSE(config.setFromArg("--depth=7=8", PreferencePriority))
        << "the value is everything after the first '='";
    EXPECT_TRUE(config.setFromArg("depth=0x20", PreferencePriority));
    EXPECT_EQ(depth.getValue(), 32);
}

TEST(ConfigurationArguments, RefusedForms) {
    plat::Configuration config("Test");
    plat::BoolParameter verbose("verbose", "Verbose.", false, false, &config);
    plat::IntParameter depth("Depth", "Depth.", 1, false, &config);
    EXPECT_FALSE(config.setFromArg("verbose", PreferencePriority)) << "a bare word";
    EXPECT_FALSE(config.setFromArg("-Depth", PreferencePriority)) << "no value for an integer";
    EXPECT_FALSE(config.setFromArg("---verbose", PreferencePriority));
    EXPECT_FALSE(config.setFromArg("-", PreferencePriority));
    EXPECT_FALSE(config.setFromArg("=1", PreferencePriority));
    EXPECT_FALSE(config.setFromArg(nullptr, PreferencePriority));
    EXPECT_FALSE(verbose.getValue());
}

TEST(ConfigurationRunTimeParameters, AddedParametersAreOwnedAndDiscardable) {
    plat::Configuration config("Test");
    plat::BoolParameter fixed("Fixed", "Fixed.", false, false, &config);
    std::string name = "Colour";
    plat::StringParameter& colour = config.addString(name.c_str(), "Colour.", "red");
    name.assign("XXXXXX");
    EXPECT_EQ(config.findParam("colour"), &colour);
    EXPECT_STREQ(colour.getName(), "Colour");
    config.addInt("Size", "Size.", 3, false, 0, 10);
    config.addBool("Quiet", "Quiet.", true);
    config.addS64("Stamp", "Stamp.", 7);
    config.addBinary("Key", "Key.", "\x01", 1);
    EXPECT_EQ(config.getParams(false).size(), 6u);
    config.discardOwnedParams();
    std::vector<plat::ConfigParameter*> left = config.getParams(false);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0], &fixed);
}

TEST(ConfigurationMerge, CopiesValuesAndCreatesMissingParameters) {
    plat::Configuration target("Target");
    plat::Configuration targetChild("TargetChild");
    target.addChild(targetChild);
    plat::IntParameter depth("Depth", "Depth.", 1, false, &targetChild);
    depth.setParam(2, 40);

    plat::Configuration source("Source");
    plat::IntParameter sourceDepth("Depth", "Depth.", 1, false, &source);
    plat::StringParameter colour("Colour", "Colour.", "red", false, &source);
    sourceDepth.setParam(5, PreferencePriority);
    colour.setParam("blue", PreferencePriority);

    target.mergeFrom(source, false, false);
    EXPECT_EQ(target.findParam("Colour"), nullptr) << "nothing created";
    EXPECT_EQ(depth.getValue(), 2) << "the child was not searched";

    target.mergeFrom(source, true, true);
    EXPECT_EQ(depth.getValue(), 5) << "found in the child and given the source's values";
    EXPECT_FALSE(depth.hasValueAt(40));
    plat::ConfigParameter* copied = target.findParam("Colour", false);
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, &colour);
    EXPECT_STREQ(copied->getValueStr().get(), "blue");
}

TEST(ConfigurationMerge, CopyConstructionIsIndependent) {
    plat::Configuration original("Original", "plat_configuration_global_params");
    plat::IntParameter depth("Depth", "Depth.", 1, false, &original);
    plat::BoolParameter quiet("Quiet", "Quiet.", false, false, &original);
    original.addAlias("Silent", {"Quiet"});
    depth.setParam(4, PreferencePriority);

    plat::Configuration copy(original);
    EXPECT_STREQ(copy.getName(), "Original");
    EXPECT_STREQ(copy.getTitleKey(), "plat_configuration_global_params");
    EXPECT_TRUE(copy.sameValues(original));
    EXPECT_TRUE(copy.set("silent", "1", PreferencePriority)) << "aliases came along";
    EXPECT_FALSE(quiet.getValue()) << "the copy's parameters are its own";
    EXPECT_STREQ(copy.diffNames(original).get(), "Quiet");
    std::vector<plat::ConfigParameter*> copied = copy.getParams(false);
    ASSERT_EQ(copied.size(), 2u);
    EXPECT_STREQ(copied[0]->getName(), "Quiet") << "the chain order is kept";
}

TEST(ConfigurationCompare, SameValuesAndDiffNames) {
    plat::Configuration first("First");
    plat::Configuration second("Second");
    plat::IntParameter a1("Alpha", "A.", 1, false, &first);
    plat::IntParameter b1("beta", "B.", 1, false, &first);
    plat::IntParameter c1("Gamma", "C.", 1, false, &first);
    plat::IntParameter a2("ALPHA", "A.", 1, false, &second);
    plat::IntParameter b2("Beta", "B.", 1, false, &second);
    EXPECT_FALSE(first.sameValues(second)) << "Gamma is missing in second";
    EXPECT_TRUE(second.sameValues(first));
    EXPECT_STREQ(first.diffNames(second).get(), "Gamma");

    b2.setParam(2, 40);
    a2.setParam(9, PreferencePriority);
    EXPECT_FALSE(second.sameValues(first));
    EXPECT_STREQ(first.diffNames(second).get(), "Alpha,beta,Gamma");
    EXPECT_STREQ(second.diffNames(second).get(), "");
}

TEST(ConfigurationExport, ValuesAtOnePriority) {
    plat::Configuration config("Test");
    plat::IntParameter depth("Depth", "Depth.", 1, false, &config);
    plat::StringParameter colour("Colour", "Colour.", "red", false, &config);
    plat::BinaryParameter key("Key", "Key.", "\x01", 1, false, &config);
    depth.setParam(3, PreferencePriority);
    key.setParam("ff", PreferencePriority);
    std::map<std::string, std::string> values;
    config.getValuesAt(PreferencePriority, values);
    EXPECT_EQ(values, (std::map<std::string, std::string>{{"Depth", "3"}, {"Key", "<binary>"}}));
}

class MapStore : public plat::ConfigValueStore {
public:
    bool get(const char* name, plat::String& value) override {
        auto entry = values.find(name);
        if (entry == values.end())
            return false;
        value.assign(entry->second.c_str());
        return true;
    }
    void set(const char* name, const char* value) override { values[name] = value; }
    void remove(const char* name) override { values.erase(name); }

    std::map<std::string, std::string> values;
};

TEST(ConfigurationAliases, MigrationRewritesStoredAliasesKeepingExplicitTargets) {
    plat::Configuration config("Test");
    plat::Configuration child("Child");
    config.addChild(child);
    config.addAlias("Audio", {"Sound", "Music"});
    child.addAlias("Old", {"New"});
    MapStore store;
    store.values = {{"Audio", "1"}, {"Music", "0"}, {"Other", "x"}, {"Old", "v"}};
    config.migrateAliases(store);
    EXPECT_EQ(store.values, (std::map<std::string, std::string>{
                                {"Music", "0"}, {"New", "v"}, {"Other", "x"}, {"Sound", "1"}}));
}

TEST(ConfigurationListing, LogsEffectiveValuesByPriorityThenName) {
    plat::Configuration config("Test");
    plat::IntParameter zulu("Zulu", "Z.", 1, false, &config);
    plat::IntParameter alpha("alpha", "A.", 1, false, &config);
    plat::IntParameter mid("Mid", "M.", 1, false, &config);
    plat::IntParameter pol("Pol", "P.", 1, false, &config);
    plat::IntParameter over("Over", "O.", 1, false, &config);
    plat::IntParameter odd("Odd", "O.", 1, false, &config);
    plat::IntParameter hidden("_Hidden", "H.", 1, false, &config);
    plat::BinaryParameter key("Key", "K.", "\x01", 1, false, &config);
    zulu.setParam(2, PreferencePriority);
    mid.setParam(3, PreferencePriority);
    pol.setParam(4, 40);
    over.setParam(5, PreferencePriority);
    over.setParam(6, plat::PolicyPriority);
    odd.setParam(7, 20);
    hidden.setParam(8, 50);

    testsupport::LogCapture log("Configuration:stderr:100");
    config.logValues();
    std::string text = log.text();
    std::vector<std::string> expected = {
        "Configuration: Pol=4 (Policy)\n",
        "Configuration: Over=6 (Policy overriding preference)\n",
        "Configuration: Odd=7 (Priority 20)\n",
        "Configuration: Mid=3 (Preference)\n",
        "Configuration: Zulu=2 (Preference)\n",
        "Configuration: alpha=1 (Default)\n",
        "Configuration: Key=<binary> (Default)\n",
    };
    std::size_t at = 0;
    for (const std::string& line : expected) {
        std::size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << "in\n" << text;
        at = found + line.size();
    }
    EXPECT_EQ(text.find("_Hidden"), std::string::npos);
    EXPECT_EQ(log.count("Configuration: "), 7);
}

TEST(ConfigurationListing, DefaultsAreLoggedAtDebugLevelOthersAtStatus) {
    plat::Configuration config("Test");
    plat::IntParameter depth("Depth", "Depth.", 1, false, &config);
    plat::IntParameter width("Width", "Width.", 1, false, &config);
    width.setParam(2, PreferencePriority);
    testsupport::LogCapture log("Configuration:stderr:30");
    config.logValues();
    EXPECT_EQ(log.count("Width=2 (Preference)"), 1);
    EXPECT_EQ(log.count("Depth=1"), 0);
}

} // namespace
