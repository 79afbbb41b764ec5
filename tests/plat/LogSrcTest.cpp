// Log sources: splitting of multi-line texts, and levels read by writers while the routing
// changes. The memory store as the last resort shows in the routing tests' replay.
#include <plat/Log.h>

#include <support/RecordingLogDest.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using testsupport::RecordingLogDest;

class LogSrcTest : public ::testing::Test {
protected:
    void TearDown() override { plat::setLogOverride(nullptr); }
};

TEST_F(LogSrcTest, WriteLinesWritesEachLineAsItsOwnMessage) {
    plat::LogSrc source("SrcTestLines");
    testsupport::LogRecording dest("SrcTestLines", 100);
    source.writeLines(30, "one\ntwo\n\nthree\n");
    source.writeLines(101, "above the level\n");
    EXPECT_EQ(dest.texts(), (std::vector<std::string>{"one", "two", "", "three"}));
}

TEST_F(LogSrcTest, WritersOnOtherThreadsSurviveRoutingChanges) {
    RecordingLogDest dest("SrcTestThreadsDest");
    plat::LogSrc source("SrcTestThreads");
    std::atomic<bool> stop{false};
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&source, &stop] {
            while (!stop.load())
                source.write(20, "while the routing changes");
        });
    for (int i = 0; i < 200; ++i)
        plat::setLogOverride(i % 2 ? "SrcTestThreads:SrcTestThreadsDest:30" : "");
    stop.store(true);
    for (std::thread& writer : writers)
        writer.join();

    for (const std::string& text : dest.texts())
        EXPECT_EQ(text, "while the routing changes");
}

} // namespace
