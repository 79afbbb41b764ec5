// Log sources: splitting of multi-line texts, the memory store as the last resort, and levels
// read by writers while the routing changes.
#include <plat/Log.h>
#include <plat/LogDestMem.h>

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
    RecordingLogDest dest("SrcTestLinesDest");
    plat::LogSrc source("SrcTestLines");
    plat::setLogOverride("SrcTestLines:SrcTestLinesDest:100");

    source.writeLines(30, "one\ntwo\n\nthree\n");
    source.writeLines(101, "above the level\n");

    std::vector<std::string> expected{"one", "two", "", "three"};
    EXPECT_EQ(dest.texts(), expected);
}

TEST_F(LogSrcTest, MessageThatNoActiveDestinationTookIsStored) {
    RecordingLogDest sleeping("SrcTestSleepingDest");
    sleeping.setActive(false);
    plat::LogSrc source("SrcTestStored");
    plat::setLogOverride("SrcTestStored:SrcTestSleepingDest:100");
    plat::LogDestMem::instance().clear();

    source.status("nobody took this %d", 1);

    std::vector<plat::LogDestMem::Record> records = plat::LogDestMem::instance().records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_STREQ(records[0].source.c_str(), "SrcTestStored");
    EXPECT_STREQ(records[0].text.c_str(), "nobody took this 1");
    EXPECT_TRUE(sleeping.messages().empty());
    plat::LogDestMem::instance().clear();
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
