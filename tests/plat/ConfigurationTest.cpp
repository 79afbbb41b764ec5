// The parameter registry: lookup through children, setting by name and by argument, aliases,
// run-time parameters, merging, comparison, alias migration and the value listing.
#include <plat/BinaryParameter.h>
#include <plat/BoolParameter.h>
#include <plat/ConfigValueStore.h>
#include <plat/Configuration.h>
#include <plat/IntParameter.h>
#include <plat/StringParameter.h>

#include <support/LogCapture.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using plat::PreferencePriority;
using Values = std::map<std::string, std::string>;

TEST(ConfigurationLookup, FindsWithoutCaseHereBeforeChildrenWithABooleanFallback) {
    plat::Configuration root("Root"), child("Child"), grandchild("Grandchild");
    root.addChild(child);
    child.addChild(grandchild);
    plat::IntParameter deep("Depth", "Depth.", 3, false, &grandchild);
    plat::IntParameter shadowed("Depth", "Depth.", 1, false, &root);
    EXPECT_EQ(root.findParam("DEPTH"), &shadowed);
    EXPECT_EQ(child.findParam("depth"), &deep);
    EXPECT_EQ(child.findParam("depth", false), nullptr);
    EXPECT_EQ(testsupport::raisedBy([&] { root.getParam("Nowhere"); }).message,
              "Parameter Nowhere not found");
    plat::BoolParameter flag("Flag", "Flag.", true, false, &child);
    EXPECT_TRUE(root.getBool("flag", false));
    EXPECT_FALSE(root.getBool("absent", false));
    EXPECT_TRUE(root.getBool("depth", true)) << "not a Boolean: the fallback";
}

TEST(ConfigurationSet, ByNameThenChildrenInOrderButARefusalHereIsFinal) {
    plat::Configuration root("Root");
    plat::Configuration first("First"), second("Second");
    root.addChild(first);
    root.addChild(second);
    plat::IntParameter inFirst("Depth", "Depth.", 1, false, &first, 0, 5);
    plat::IntParameter inSecond("Depth", "Depth.", 1, false, &second, 0, 100);
    EXPECT_TRUE(root.set("depth", "4", PreferencePriority));
    EXPECT_EQ(inFirst.getValue(), 4);
    EXPECT_TRUE(root.set("depth", "50", PreferencePriority)) << "the first child refuses";
    EXPECT_EQ(inSecond.getValue(), 50);
    EXPECT_FALSE(root.set("unknown", "1", PreferencePriority));

    plat::IntParameter here("Depth", "Depth.", 1, false, &root, 0, 5);
    EXPECT_FALSE(root.set("Depth", "60", PreferencePriority));
    EXPECT_EQ(inSecond.getValue(), 50);
}

TEST(ConfigurationArguments, AcceptedAndRefusedForms) {
    plat::Configuration config("Test");
    plat::BoolParameter verbose("verbose", "Verbose.", false, false, &config);
    plat::IntParameter depth("Depth", "Depth.", 1, false, &config);
    const std::pair<const char*, bool> accepted[] = {
        {"-Verbose", true}, {"-verbose=0", false}, {"--verbose=1", true}, {"verbose=no", false}};
    for (auto [arg, verboseAfter] : accepted) {
        EXPECT_TRUE(config.setFromArg(arg, PreferencePriority)) << arg;
        EXPECT_EQ(verbose.getValue(), verboseAfter) << arg;
    }
    for (const char* arg : {"verbose", "---verbose", "-", "=1", "-Depth"})
        EXPECT_FALSE(config.setFromArg(arg, PreferencePriority)) << arg;
    EXPECT_FALSE(config.setFromArg(nullptr, PreferencePriority));
    EXPECT_FALSE(verbose.getValue());
    EXPECT_TRUE(config.setFromArg("depth=0x20", PreferencePriority));
    EXPECT_TRUE(depth.hasValueAt(PreferencePriority) && depth.getValue() == 32);
}

TEST(ConfigurationAliases, SetEveryTargetAtTheSamePriorityAndSucceedWhenAnyTakesTheValue) {
    plat::Configuration config("Test");
    plat::IntParameter small("Small", "Small.", 1, false, &config, 0, 9);
    plat::IntParameter large("Large", "Large.", 1, false, &config, 0, 99);
    config.addAlias("Size", {"Small", "Large", "Gone"});
    config.addAlias("Nothing", {});
    EXPECT_TRUE(config.set("SIZE", "5", 40));
    EXPECT_TRUE(small.hasValueAt(40) && large.hasValueAt(40));
    EXPECT_TRUE(config.setFromArg("-size=50", 40));
    EXPECT_EQ(large.getValue(), 50);
    EXPECT_EQ(small.getValue(), 5);
    EXPECT_FALSE(config.set("Size", "500", 40));
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

class MapStore : public plat::ConfigValueStore {
public:
    bool get(const char* name, plat::String& value) override {
        if (!values.count(name))
            return false;
        value.assign(values[name].c_str());
        return true;
    }
    void set(const char* name, const char* value) override { values[name] = value; }
    void remove(const char* name) override { values.erase(name); }

    Values values;
};

TEST(ConfigurationAliases, MigrationRewritesStoredAliasesKeepingExplicitTargets) {
    plat::Configuration config("Test"), child("Child");
    config.addChild(child);
    config.addAlias("Audio", {"Sound", "Music"});
    child.addAlias("Old", {"New"});
    MapStore store;
    store.values = {{"Audio", "1"}, {"Music", "0"}, {"Other", "x"}, {"Old", "v"}};
    config.migrateAliases(store);
    EXPECT_EQ(store.values, (Values{{"Music", "0"}, {"New", "v"}, {"Other", "x"}, {"Sound", "1"}}));
}

TEST(ConfigurationMerge, CopiesValuesAndCreatesMissingParameters) {
    plat::Configuration target("Target"), targetChild("TargetChild");
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
    EXPECT_STREQ(copy.getTitleKey(), "plat_configuration_global_params");
    EXPECT_TRUE(copy.set("silent", "1", PreferencePriority)) << "aliases came along";
    EXPECT_FALSE(quiet.getValue()) << "the copy's parameters are its own";
    EXPECT_STREQ(copy.diffNames(original).get(), "Quiet");
    EXPECT_STREQ(copy.getParams(false).at(0)->getName(), "Quiet") << "the chain order is kept";
}

TEST(ConfigurationCompare, SameValuesAndDiffNames) {
    plat::Configuration first("First"), second("Second");
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
    Values values;
    config.getValuesAt(PreferencePriority, values);
    EXPECT_EQ(values, (Values{{"Depth", "3"}, {"Key", "<binary>"}}));
}

// The listing's lines from "Configuration: " on, at one log level.
std::vector<std::string> listingAt(plat::Configuration& config, int level) {
    testsupport::LogCapture log(("Configuration:stderr:" + std::to_string(level)).c_str());
    config.logValues();
    std::vector<std::string> lines;
    std::istringstream text(log.text());
    for (std::string line; std::getline(text, line);)
        if (std::size_t at = line.find("Configuration: "); at != std::string::npos)
            lines.push_back(line.substr(at + 15));
    return lines;
}

TEST(ConfigurationListing, EffectiveValuesByPriorityThenNameWithDefaultsAtDebugLevel) {
    plat::Configuration config("Test");
    using Value = std::tuple<const char*, int>;
    for (auto [name, priority] :
         {Value{"Zulu", 10}, Value{"alpha", 0}, Value{"Mid", 10}, Value{"Pol", 40},
          Value{"Over", 10}, Value{"Odd", 20}, Value{"_Hidden", 50}})
        config.addInt(name, "Listed.", 1).setParam(priority + 1, priority);
    config.getParam("Over").setParam(31, plat::PolicyPriority);
    config.addBinary("Key", "Key.", "\x01", 1);

    std::vector<std::string> changed{"Pol=41 (Policy)", "Over=31 (Policy overriding preference)",
                                     "Odd=21 (Priority 20)", "Mid=11 (Preference)",
                                     "Zulu=11 (Preference)"};
    EXPECT_EQ(listingAt(config, 30), changed);
    changed.insert(changed.end(), {"alpha=1 (Default)", "Key=<binary> (Default)"});
    EXPECT_EQ(listingAt(config, 100), changed);
}

} // namespace
