// The IPC log destination: its bounded queue, the peer's level, sending through the channel and
// the flush on the assertion path.
#include <plat/Exception.h>
#include <plat/Log.h>
#include <plat/LogDestIpc.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// Keeps each message as "<level> <source>: <text>"; a printing one lets a dying child show it.
class FakeChannel : public plat::LogDestIpc::Channel {
public:
    explicit FakeChannel(bool printing = false) : printing(printing) {}

    void sendLogMessage(int level, const char* source, const char* text) override {
        sent.push_back(std::to_string(level) + " " + source + ": " + text);
        if (printing)
            std::fprintf(stderr, "sent %s\n", sent.back().c_str());
    }
    void flushMessages() override { ++flushes; }
    void wakeSender() override { ++wakes; }

    bool printing;
    Texts sent;
    int flushes = 0;
    int wakes = 0;
};

class LogDestIpcTest : public ::testing::Test {
protected:
    void SetUp() override { drain(); }
    void TearDown() override {
        drain();
        plat::setLogOverride(nullptr);
    }

    // Empties the process's queue and leaves the destination detached, uncapped and not ready.
    static void drain() {
        FakeChannel sink;
        ipc().attach(&sink);
        ipc().setPeerLevel(INT_MAX);
        ipc().attach(nullptr);
        ipc().setSourcePrefix(nullptr);
    }

    static plat::LogDestIpc& ipc() { return plat::LogDestIpc::instance(); }

    FakeChannel channel;
};

TEST_F(LogDestIpcTest, QueueKeepsAThousandThenAMarker) {
    for (int i = 0; i < 1200; ++i)
        ipc().write(30, "IpcTest", ("message " + std::to_string(i)).c_str());

    std::vector<plat::LogDestIpc::Entry> queued = ipc().queued();
    ASSERT_EQ(queued.size(), 1001u);
    EXPECT_STREQ(queued[999].text.c_str(), "message 999");
    EXPECT_EQ(queued[1000].level, 0);
    EXPECT_STREQ(queued[1000].source.c_str(), "LogDestIpc");
    EXPECT_STREQ(queued[1000].text.c_str(), "Too many messages, discarding further ones");
}

TEST_F(LogDestIpcTest, NothingIsSentUntilThePeerAnnouncesItsLevelThenEachMessageWakesTheSender) {
    ipc().attach(&channel);
    ipc().write(30, "IpcTest", "waiting");
    ipc().flush();
    EXPECT_TRUE(channel.sent.empty() && channel.wakes == 0);
    EXPECT_FALSE(ipc().isReady());

    ipc().setPeerLevel(100);
    EXPECT_EQ(channel.sent, Texts{"30 IpcTest: waiting"});
    EXPECT_EQ(channel.flushes, 1);
    EXPECT_TRUE(ipc().queued().empty());

    ipc().write(30, "IpcTest", "one");
    ipc().write(31, "IpcTest", "two");
    EXPECT_EQ(channel.wakes, 2);
    ipc().flush();
    EXPECT_EQ(channel.sent, (Texts{"30 IpcTest: waiting", "30 IpcTest: one", "31 IpcTest: two"}));
}

TEST_F(LogDestIpcTest, PeerLevelCapsTheQueueAndTheRoutedSources) {
    plat::LogSrc source("IpcTestCapped");
    plat::setLogOverride("IpcTestCapped:ipc:100");
    ipc().attach(&channel);
    ipc().setPeerLevel(40);

    EXPECT_EQ(source.level(), 40);
    source.write(50, "above the peer's level");
    ipc().write(50, "IpcTest", "also above");
    source.write(40, "at the peer's level");
    ipc().flush();
    EXPECT_EQ(channel.sent, Texts{"40 IpcTestCapped: at the peer's level"});
}

using LogDestIpcDeathTest = LogDestIpcTest;

TEST_F(LogDestIpcDeathTest, AssertionFailureIsSentBeforeTheProcessAborts) {
    EXPECT_DEATH(
        {
            FakeChannel printing(true);
            ipc().attach(&printing);
            ipc().setPeerLevel(100);
            plat::setLogOverride("Assertion:ipc:0");
            PLAT_ASSERT(1 == 2);
        },
        "sent 0 Assertion: Assertion '1 == 2' failed");
}

} // namespace
