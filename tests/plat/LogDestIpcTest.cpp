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

class FakeChannel : public plat::LogDestIpc::Channel {
public:
    struct Sent {
        int level;
        std::string source;
        std::string text;
    };

    void sendLogMessage(int level, const char* source, const char* text) override {
        sent.push_back({level, source, text});
    }
    void flushMessages() override { ++flushes; }
    void wakeSender() override { ++wakes; }

    std::vector<Sent> sent;
    int flushes = 0;
    int wakes = 0;
};

// Prints what it sends, so that a dying child shows it.
class PrintingChannel : public FakeChannel {
public:
    void sendLogMessage(int, const char* source, const char* text) override {
        std::fprintf(stderr, "sent %s: %s\n", source, text);
    }
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

TEST_F(LogDestIpcTest, NothingIsSentUntilThePeerAnnouncesItsLevel) {
    FakeChannel channel;
    ipc().attach(&channel);
    ipc().write(30, "IpcTest", "waiting");
    ipc().flush();

    EXPECT_TRUE(channel.sent.empty());
    EXPECT_EQ(channel.wakes, 0);
    EXPECT_FALSE(ipc().isReady());

    ipc().setPeerLevel(100);
    ASSERT_EQ(channel.sent.size(), 1u);
    EXPECT_EQ(channel.sent[0].text, "waiting");
    EXPECT_EQ(channel.flushes, 1);
    EXPECT_TRUE(ipc().queued().empty());
}

TEST_F(LogDestIpcTest, ReadyDestinationWakesTheSenderForEachMessage) {
    FakeChannel channel;
    ipc().attach(&channel);
    ipc().setPeerLevel(100);
    ipc().write(30, "IpcTest", "one");
    ipc().write(30, "IpcTest", "two");

    EXPECT_EQ(channel.wakes, 2);
    ipc().flush();
    ASSERT_EQ(channel.sent.size(), 2u);
    EXPECT_EQ(channel.sent[1].text, "two");
    EXPECT_EQ(channel.sent[1].level, 30);
}

TEST_F(LogDestIpcTest, PeerLevelCapsTheQueueAndTheRoutedSources) {
    plat::LogSrc source("IpcTestCapped");
    plat::setLogOverride("IpcTestCapped:ipc:100");
    FakeChannel channel;
    ipc().attach(&channel);
    ipc().setPeerLevel(40);

    EXPECT_EQ(source.level(), 40);
    source.write(50, "above the peer's level");
    ipc().write(50, "IpcTest", "also above");
    source.write(40, "at the peer's level");
    ipc().flush();

    ASSERT_EQ(channel.sent.size(), 1u);
    EXPECT_EQ(channel.sent[0].source, "IpcTestCapped");
    EXPECT_EQ(channel.sent[0].text, "at the peer's level");
}

TEST_F(LogDestIpcTest, SentSourceCarriesThePrefixAndTextIsCutOnACharacterBoundary) {
    std::string text(1023, 'a');
    text += "\u20AC and more";
    ipc().setSourcePrefix("child");
    ipc().write(30, "IpcTest", text.c_str());
    FakeChannel channel;
    ipc().attach(&channel);
    ipc().setPeerLevel(100);

    ASSERT_EQ(channel.sent.size(), 1u);
    EXPECT_EQ(channel.sent[0].source, "child: IpcTest");
    EXPECT_EQ(channel.sent[0].text, std::string(1023, 'a'));
}

using LogDestIpcDeathTest = LogDestIpcTest;

TEST_F(LogDestIpcDeathTest, AssertionFailureIsSentBeforeTheProcessAborts) {
    EXPECT_DEATH(
        {
            PrintingChannel channel;
            ipc().attach(&channel);
            ipc().setPeerLevel(100);
            plat::setLogOverride("Assertion:ipc:0");
            PLAT_ASSERT(1 == 2);
        },
        "sent Assertion: Assertion '1 == 2' failed");
}

} // namespace
