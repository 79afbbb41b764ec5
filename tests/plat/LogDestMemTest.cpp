// The memory store of early log messages: no storing during a replay, and the replay, with the
// limit's marker, of messages logged before the routing was known.
#include <plat/Log.h>
#include <plat/LogDestMem.h>

#include <support/EnvironmentChange.h>
#include <support/LogCapture.h>
#include <support/RecordingLogDest.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::RecordingLogDest;

constexpr const char* Marker = "Too many messages, discarding further ones";

TEST(LogDestMemReplay, NothingIsStoredWhileAReplayRuns) {
    plat::LogDestMem store;
    store.write(10, "MemTest", "stored");
    RecordingLogDest dest;
    dest.onWrite = [&store](const RecordingLogDest::Message&) {
        store.write(0, "MemTest", "logged by the destination");
    };

    store.replay(dest, 100);

    EXPECT_EQ(store.records().size(), 1u);
    store.write(0, "MemTest", "after the replay");
    EXPECT_EQ(store.records().size(), 2u);
}

// In a fresh process whose logging was never initialised: 1200 early messages, then routing.
// Returns a description of what went wrong, empty when all was as expected.
std::string earlyMessagesScenario() {
    plat::LogSrc early("EarlySource");
    if (early.level() != plat::LogSrc::Everything)
        return "an early source does not accept every level";
    for (int i = 0; i < 1200; ++i)
        early.write(30, "early %d", i);

    std::vector<std::string> lines;
    {
        testsupport::LogCapture capture("*:stderr:100");
        std::istringstream replayed(capture.text());
        for (std::string line; std::getline(replayed, line);)
            lines.push_back(line);
    }
    if (lines.size() != 503)
        return "replay wrote " + std::to_string(lines.size()) + " lines";
    if (lines.front().find("LogDestMem: Start replaying stored messages") == std::string::npos ||
        lines[501].find(std::string("LogDestMem: ") + Marker) == std::string::npos ||
        lines.back().find("LogDestMem: Finished replaying stored messages") == std::string::npos)
        return "replay lines out of place: " + lines.front() + " / " + lines.back();
    if (!plat::LogDestMem::instance().records().empty())
        return "replayed messages were kept";

    plat::setLogOverride("");
    plat::initLogging();
    if (early.level() != plat::LogSrc::NoRoute)
        return "an unrouted source still accepts messages after initialisation";
    return "";
}

TEST(LogDestMemEarly, MessagesBeforeRoutingAreStoredAndReplayedOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testsupport::EnvironmentChange earlyLogging("QV_TEST_EARLY_LOGGING", "1");
    EXPECT_EXIT(
        {
            std::string failure = earlyMessagesScenario();
            std::fprintf(stderr, "%s\n", failure.empty() ? "early scenario ok" : failure.c_str());
            std::exit(failure.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "early scenario ok");
}

} // namespace
