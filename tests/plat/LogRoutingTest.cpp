// Routing of log sources to destinations: the routing text's faults, levels of sources whose
// destination went, and patterns. Every test routes through the override, the launcher's
// end-to-end tests through the Log parameter, and the memory store's test replays.
#include <plat/ConfigParameter.h>
#include <plat/Configuration.h>
#include <plat/Log.h>
#include <plat/LogDestMem.h>
#include <plat/LogRouting.h>

#include <support/LogCapture.h>
#include <support/RecordingLogDest.h>
#include <support/printedText.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using testsupport::LogCapture;
using testsupport::RecordingLogDest;

TEST(LogRoutingText, FaultyElementsAreReportedAndTheOthersStillApply) {
    plat::LogSrc source("RoutingTestFaulty");
    const char* const malformed[] = {"RoutingTestFaulty:stderr:-1", "RoutingTestFaulty:stderr",
                                     "RoutingTestFaulty:stderr:ten", "RoutingTestFaulty:stderr:1:2",
                                     "RoutingTestFaulty:stderr:99999999999"};
    std::string routing = ",RoutingTestFaulty:nowhere:10,routingtestfaulty:STDERR:30,";
    for (const char* element : malformed)
        routing += std::string(element) + ",";
    LogCapture capture(routing.c_str());

    EXPECT_EQ(source.level(), 30) << "names ignore case";
    for (const char* element : malformed)
        EXPECT_TRUE(
            capture.contains(std::string("Failed to parse log param element: '") + element + "'\n"))
            << element << "\n"
            << capture.text();
    EXPECT_EQ(capture.count("Failed to parse"), 5) << "empty elements are no fault";
    EXPECT_TRUE(capture.contains("No LogDest found: 'nowhere'\n"));
}

TEST(LogRoutingLevels, DestroyedDestinationLeavesNoRouteAndTheSourceDropsItsMessages) {
    plat::LogSrc source("RoutingTestGone");
    {
        RecordingLogDest dest("RoutingGone");
        plat::setLogOverride("RoutingTestGone:RoutingGone:50");
        EXPECT_EQ(source.level(), 50);
    }
    std::size_t stored = plat::LogDestMem::instance().records().size();
    source.write(0, "after the destination went away");
    EXPECT_EQ(source.level(), -1);
    EXPECT_EQ(plat::lookupDest("RoutingGone"), nullptr);
    EXPECT_EQ(plat::LogDestMem::instance().records().size(), stored);
    plat::setLogOverride(nullptr);
}

TEST(LogRoutingPattern, StarMatchesAnyRunAndLettersIgnoreCase) {
    using plat::LogRouting;
    EXPECT_TRUE(LogRouting::patternMatches("*", "Configuration"));
    EXPECT_TRUE(LogRouting::patternMatches("*", ""));
    EXPECT_TRUE(LogRouting::patternMatches("*PARAM*", "ConfigParameter"));
    EXPECT_TRUE(LogRouting::patternMatches("a*b*c", "abcbc"));
    EXPECT_FALSE(LogRouting::patternMatches("Config", "Configuration"));
    EXPECT_FALSE(LogRouting::patternMatches("*Config", "Configuration"));
    EXPECT_FALSE(LogRouting::patternMatches("", "Configuration"));
    EXPECT_FALSE(LogRouting::patternMatches("Conf?guration", "Configuration"));
    EXPECT_FALSE(LogRouting::patternMatches(std::string(40, '*').append("b").c_str(),
                                            std::string(2000, 'a').c_str()));
}

} // namespace
