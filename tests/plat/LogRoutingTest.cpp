// Routing of log sources to destinations: the routing text, its faults, levels, overrides, the
// replay of stored messages and the listings.
#include <plat/ConfigParameter.h>
#include <plat/Configuration.h>
#include <plat/Log.h>
#include <plat/LogDestFile.h>
#include <plat/LogDestMem.h>
#include <plat/LogRouting.h>

#include <support/LogCapture.h>
#include <support/RecordingLogDest.h>
#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>
#include <support/printedText.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

namespace {

using testsupport::LogCapture;
using testsupport::readFile;
using testsupport::RecordingLogDest;
using testsupport::TemporaryDirectory;

TEST(LogRoutingText, EverySourceToStderrAndConfigurationAlsoToFile) {
    TemporaryDirectory directory;
    plat::LogDestFile& file = plat::LogDestFile::logFile();
    file.setPath(directory.file("routed.log").c_str());
    plat::LogSrc other("RoutingTestOther");
    plat::LogSrc configuration("Configuration");
    std::string errorOutput;
    {
        LogCapture capture("*:stderr:10,Configuration:file:100");
        other.write(10, "other at ten");
        other.write(11, "other at eleven");
        configuration.write(10, "configuration at ten");
        configuration.write(100, "configuration at hundred");
        configuration.write(101, "configuration past hundred");
        errorOutput = capture.text();
    }
    file.setPath(nullptr);
    std::string fileOutput = readFile(directory.file("routed.log"));

    EXPECT_NE(errorOutput.find("RoutingTestOther: other at ten\n"), std::string::npos);
    EXPECT_NE(errorOutput.find("Configuration: configuration at ten\n"), std::string::npos);
    EXPECT_EQ(errorOutput.find("at eleven"), std::string::npos);
    EXPECT_EQ(errorOutput.find("at hundred"), std::string::npos);
    EXPECT_NE(fileOutput.find("Configuration: configuration at ten\n"), std::string::npos);
    EXPECT_NE(fileOutput.find("Configuration: configuration at hundred\n"), std::string::npos);
    EXPECT_EQ(fileOutput.find("past hundred"), std::string::npos);
    EXPECT_EQ(fileOutput.find("RoutingTestOther"), std::string::npos);
}

TEST(LogRoutingText, MalformedElementsAreReportedAndTheOthersStillApply) {
    plat::LogSrc source("RoutingTestMalformed");
    LogCapture capture("RoutingTestMalformed:stderr:-1,RoutingTestMalformed:stderr,"
                       "RoutingTestMalformed:stderr:ten,RoutingTestMalformed:stderr:1:2,"
                       "RoutingTestMalformed:stderr:99999999999,RoutingTestMalformed:stderr:30");
    std::string output = capture.text();

    EXPECT_EQ(source.level(), 30);
    for (const char* element :
         {"RoutingTestMalformed:stderr:-1", "RoutingTestMalformed:stderr",
          "RoutingTestMalformed:stderr:ten", "RoutingTestMalformed:stderr:1:2",
          "RoutingTestMalformed:stderr:99999999999"})
        EXPECT_NE(
            output.find(std::string("Failed to parse log param element: '") + element + "'\n"),
            std::string::npos)
            << element << "\n"
            << output;
    EXPECT_EQ(capture.count("Failed to parse"), 5);
}

TEST(LogRoutingText, UnknownDestinationIsReportedByNameAndNamesIgnoreCase) {
    plat::LogSrc source("RoutingTestUnknown");
    LogCapture capture("RoutingTestUnknown:nowhere:10,routingtestunknown:STDERR:20");

    EXPECT_NE(capture.text().find("No LogDest found: 'nowhere'\n"), std::string::npos)
        << capture.text();
    EXPECT_EQ(source.level(), 20);
}

TEST(LogRoutingText, EmptyElementsRouteNothingAndReportNothing) {
    plat::LogSrc source("RoutingTestEmpty");
    LogCapture capture(",RoutingTestEmpty:stderr:7,");

    EXPECT_EQ(source.level(), 7);
    EXPECT_EQ(capture.text().find("Failed"), std::string::npos) << capture.text();
}

TEST(LogRoutingLevels, LaterElementReplacesTheLevelForTheSameDestination) {
    plat::LogSrc source("RoutingTestReplace");
    LogCapture capture("RoutingTestReplace:stderr:100,routingtest*:stderr:5");

    EXPECT_EQ(source.level(), 5);
}

TEST(LogRoutingLevels, SourceLevelIsTheHighestRouteCappedByItsDestination) {
    RecordingLogDest capped("RoutingCapped");
    capped.setLevelCap(20);
    plat::LogSrc source("RoutingTestCapped");
    LogCapture capture("RoutingTestCapped:RoutingCapped:100,RoutingTestCapped:stderr:15");

    EXPECT_EQ(source.level(), 20);
    source.write(25, "above the cap");
    source.write(18, "within the cap");
    EXPECT_EQ(capped.texts(), std::vector<std::string>{"within the cap"});
}

TEST(LogRoutingLevels, SourceWithoutRouteHasLevelMinusOneAndDropsItsMessages) {
    plat::LogSrc source("RoutingTestUnrouted");
    LogCapture capture("SomethingElse:stderr:100");
    std::size_t stored = plat::LogDestMem::instance().records().size();

    source.write(0, "dropped");

    EXPECT_EQ(source.level(), -1);
    EXPECT_EQ(plat::LogDestMem::instance().records().size(), stored);
    EXPECT_EQ(capture.text().find("dropped"), std::string::npos);
}

TEST(LogRoutingLevels, SourceCreatedAfterRoutingIsRoutedAtOnce) {
    LogCapture capture("RoutingLate*:stderr:42");
    plat::LogSrc late("RoutingLateSource");

    EXPECT_EQ(late.level(), 42);
}

TEST(LogRoutingLevels, DestroyedDestinationLeavesNoRouteBehind) {
    plat::LogSrc source("RoutingTestGone");
    {
        RecordingLogDest dest("RoutingGone");
        plat::setLogOverride("RoutingTestGone:RoutingGone:50");
        EXPECT_EQ(source.level(), 50);
    }
    EXPECT_EQ(source.level(), -1);
    EXPECT_EQ(plat::lookupDest("RoutingGone"), nullptr);
    source.write(10, "after the destination went away");
    plat::setLogOverride(nullptr);
}

TEST(LogRoutingParameter, ChangingLogReroutesAndTheOverrideWins) {
    plat::LogSrc source("RoutingParam");
    plat::ConfigParameter& log = plat::Configuration::global().getParam("Log");

    log.setParam("*:stderr:10,RoutingParam:stderr:77", plat::PreferencePriority);
    EXPECT_EQ(source.level(), 77);
    plat::setLogOverride("RoutingParam:stderr:3");
    EXPECT_EQ(source.level(), 3);
    plat::setLogOverride(nullptr);
    EXPECT_EQ(source.level(), 77);
    log.unset(plat::PreferencePriority, true);
    EXPECT_EQ(source.level(), 10);
}

TEST(LogRoutingReplay, MessagesNoDestinationTookGoToTheNextStarElement) {
    RecordingLogDest sleeping("RoutingSleeping");
    sleeping.setActive(false);
    RecordingLogDest awake("RoutingAwake");
    plat::LogSrc source("RoutingTestReplay");
    plat::setLogOverride("RoutingTestReplay:RoutingSleeping:100");
    plat::LogDestMem::instance().clear();
    source.write(40, "kept for later");

    plat::setLogOverride("*:RoutingSleeping:100");
    EXPECT_TRUE(sleeping.messages().empty());
    plat::setLogOverride("*:RoutingAwake:100");
    plat::setLogOverride("*:RoutingAwake:100");

    std::vector<std::string> expected{"Start replaying stored messages", "kept for later",
                                      "Finished replaying stored messages"};
    EXPECT_EQ(awake.texts(), expected);
    EXPECT_TRUE(plat::LogDestMem::instance().records().empty());
    plat::setLogOverride(nullptr);
}

TEST(LogRoutingPattern, StarMatchesAnyRunAndLettersIgnoreCase) {
    using plat::LogRouting;
    EXPECT_TRUE(LogRouting::patternMatches("*", "Configuration"));
    EXPECT_TRUE(LogRouting::patternMatches("*", ""));
    EXPECT_TRUE(LogRouting::patternMatches("config*", "Configuration"));
    EXPECT_TRUE(LogRouting::patternMatches("*PARAM*", "ConfigParameter"));
    EXPECT_TRUE(LogRouting::patternMatches("C*n*r", "ConfigParameter"));
    EXPECT_TRUE(LogRouting::patternMatches("a*b*c", "abcbc"));
    EXPECT_FALSE(LogRouting::patternMatches("Config", "Configuration"));
    EXPECT_FALSE(LogRouting::patternMatches("*Config", "Configuration"));
    EXPECT_FALSE(LogRouting::patternMatches("", "Configuration"));
    EXPECT_FALSE(LogRouting::patternMatches("Conf?guration", "Configuration"));
    EXPECT_FALSE(LogRouting::patternMatches(std::string(40, '*').append("b").c_str(),
                                            std::string(2000, 'a').c_str()));
}

TEST(LogListings, SourcesAreSortedWithoutCaseAndWrappedToTheWidth) {
    plat::LogSrc last("zzRoutingListed");
    plat::LogSrc first("AARoutingListed");
    std::string text = testsupport::printedText([](FILE* out) { plat::listSources(40, out); });

    EXPECT_LT(text.find("AARoutingListed"), text.find("Configuration"));
    EXPECT_LT(text.find("Configuration"), text.find("zzRoutingListed"));
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(line.size(), 40u) << line;
}

} // namespace
