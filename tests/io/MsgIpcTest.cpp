// Named-message IPC: delivery of messages that arrive in pieces, readers that need more data,
// unknown names, "badMsg" both ways, hostile frames, refused writes and blocking reads.
#include "support/ioTestSupport.h"

#include <io/FdIo.h>
#include <io/MsgIpc.h>
#include <io/PollFdManager.h>
#include <rdr/Exception.h>

#include <support/RecordingLogDest.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Events = std::vector<std::string>;
using testsupport::raisedBy;

// Reads "Text" messages (a string32 payload) and records what the channel tells its callback.
class Recorder : public io::MsgIpc::Reader, public io::MsgIpc::Callback {
public:
    bool readMsg(const char* name, rdr::InStream& in, io::MsgIpc&) override {
        std::uint32_t length = in.readU32();
        if (stopHalfWay) {
            stopHalfWay = false;
            events.push_back("stopped after " + std::to_string(length));
            return false;
        }
        events.push_back(std::string(name) + "=" + in.readFixedString(int(length), true).c_str());
        return true;
    }
    void reset(io::MsgIpc&) override { ++resets; }
    void disconnected(io::MsgIpc&) override { events.push_back("disconnected"); }
    bool msgAllowed(io::MsgIpc&, const char*, bool) override { return allowed; }
    void error(io::MsgIpc&, const plat::Exception& e) override {
        events.push_back(std::string("error: ") + e.message());
    }

    Events events;
    int resets = 0;
    bool stopHalfWay = false;
    bool allowed = true;
};

// A channel named "chan" on the near end of a socket pair; the test speaks for the far end.
struct Channel {
    explicit Channel(bool blocking = false, int inputBufferSize = -1)
        : pair(iotest::makeSocketPair(true)), ipc(&recorder, "chan", blocking) {
        ipc.setReader("Text", &recorder);
        ipc.setConnection(
            std::make_unique<io::FdIo>(pair.near.release(), true, true, inputBufferSize));
    }
    void send(const std::string& wire) { iotest::writeAll(pair.far.get(), wire); }
    bool serveUntil(const std::function<bool()>& condition) {
        return iotest::serveUntil(manager, condition);
    }
    bool eventsReach(std::size_t count) {
        return serveUntil([&] { return recorder.events.size() >= count; });
    }

    io::PollFdManager manager;
    Recorder recorder;
    iotest::SocketPair pair;
    io::MsgIpc ipc;
};

std::string text(const std::string& value) {
    return iotest::message("Text", iotest::string32(value));
}

TEST(MsgIpcReading, MessageArrivingOneByteAtATimeIsDeliveredOnceWhole) {
    Channel channel;
    for (char byte : text("hello")) {
        channel.send(std::string(1, byte));
        channel.manager.wait(0);
    }
    ASSERT_TRUE(channel.eventsReach(1));
    channel.manager.wait(0);
    EXPECT_EQ(channel.recorder.events, Events{"Text=hello"});
}

TEST(MsgIpcReading, ReaderThatStopsHalfWayIsCalledAgainFromThePayloadStart) {
    Channel channel;
    channel.recorder.stopHalfWay = true;
    std::string wire = text("hello");
    channel.send(wire.substr(0, 12));
    ASSERT_TRUE(channel.eventsReach(1));
    EXPECT_EQ(raisedBy([&] { channel.ipc.readMessage(); }).message,
              "MsgIpc::readMessage: not in state startMsg");
    channel.send(wire.substr(12));
    ASSERT_TRUE(channel.eventsReach(2));
    EXPECT_EQ(channel.recorder.events, (Events{"stopped after 5", "Text=hello"}));
}

// The digit-led name is handled inside the channel's own read handling, which then closes the
// connection it is reading from (AddressSanitizer watches the frames above).
TEST(MsgIpcReading, UnknownNamesAreSkippedAndOneStartingWithADigitClosesTheChannel) {
    testsupport::LogRecording log("Ipc", 100);
    Channel channel;
    channel.recorder.allowed = false;
    channel.send(text("refused"));
    ASSERT_TRUE(channel.serveUntil([&] { return !log.messages().empty(); }));
    channel.recorder.allowed = true;
    channel.send(iotest::message("Unknown", iotest::string32("x")) + text("after"));
    ASSERT_TRUE(channel.eventsReach(1));
    channel.send(iotest::message("9lives", "") + text("never read"));
    ASSERT_TRUE(channel.serveUntil([&] { return iotest::peerClosed(channel.pair.far.get()); }));

    EXPECT_EQ(channel.recorder.events, (Events{"Text=after", "disconnected"}));
    EXPECT_FALSE(channel.ipc.isConnected());
    EXPECT_EQ(channel.recorder.resets, 2) << "attached and lost";
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"chan: Message 'Text' not currently allowed",
                                                     "chan: Bad msg name 'Unknown'",
                                                     "chan: Bad msg name '9lives'"}));
    EXPECT_EQ(log.levelOf("chan: Bad msg name '9lives'"), 30);
}

TEST(MsgIpcReading, ReplyWithBadMsgAnswersAnUnknownNameAndThePeersBadMsgEndsTheChannel) {
    Channel channel;
    channel.ipc.setReplyWithBadMsg(true);
    channel.send(iotest::message("Nope", "ignored"));
    std::string reply;
    ASSERT_TRUE(channel.serveUntil([&] {
        reply += iotest::readAvailable(channel.pair.far.get());
        return reply.size() >= 14;
    }));
    EXPECT_EQ(reply, iotest::message("badMsg", "\x04Nope"));

    channel.send(iotest::message("badMsg", "\x05Yours"));
    ASSERT_TRUE(channel.eventsReach(2));
    EXPECT_EQ(channel.recorder.events,
              (Events{"error: MsgIpc: expected message <null>, peer reports bad msg name 'Yours'",
                      "disconnected"}));
}

// Each ends the channel with an error: none may leave it waiting for data that cannot come.
TEST(MsgIpcReading, HostileFramesEndTheChannelWithAnError) {
    // A message of three frames whose 20000-byte text cannot fit the 16800-byte input buffer.
    const std::string payload = iotest::string32(std::string(20000, 'p'));
    const std::string tooLarge = std::string("\x00\x05\x04Text", 7) + "\x27\x10" +
                                 payload.substr(0, 10000) + "\xA7\x14" + payload.substr(10000);
    const std::pair<std::string, std::string> cases[] = {
        {std::string("\x80\x03\x0aTe", 5), "End of message"},
        {std::string("\x80\x00", 2), "End of message"},
        {std::string(60000, '\0'), "InStream overrun: buffer size exceeded"},
        {tooLarge, "InStream overrun: buffer size exceeded"},
    };
    for (const auto& [wire, failure] : cases) {
        Channel channel;
        channel.send(wire);
        ASSERT_TRUE(channel.eventsReach(2)) << failure;
        EXPECT_EQ(channel.recorder.events, (Events{"error: " + failure, "disconnected"}));
        EXPECT_TRUE(channel.serveUntil([&] { return iotest::peerClosed(channel.pair.far.get()); }));
    }
}

TEST(MsgIpcWriting, UnconnectedWritesAreDiscardedAndRefusedOnesRaise) {
    testsupport::LogRecording log("Ipc", 100);
    Recorder recorder;
    io::MsgIpc ipc(&recorder, "chan", false, true);
    rdr::FramedOutStream& out = ipc.writeMsg("Hello");
    out.writeU32(1);
    out.endMsg(true);
    EXPECT_EQ(log.levelOf("chan: Discarding message 'Hello'"), 100);

    EXPECT_EQ(raisedBy([&] { ipc.writeMsg(std::string(256, 'A').c_str()); }).message,
              "MsgIpc::writeMsg: Message name longer than 255 bytes");
    ipc.writeMsg(std::string(255, 'A').c_str()).endMsg(true);
    recorder.allowed = false;
    EXPECT_EQ(raisedBy([&] { ipc.writeMsg("Hello"); }).message,
              "MsgIpc::writeMsg: Message not currently allowed");
    EXPECT_EQ(log.levelOf("chan: Message 'Hello' not currently allowed"), 30);
}

TEST(MsgIpcBlocking, ReadMessageInsistsOnTheExpectedNameAndReadAllEndsAtTheEndOfTheStream) {
    testsupport::LogRecording log("Ipc", 30);
    Channel channel(true);
    channel.send(iotest::message("Other", iotest::string32("o")) + text("t") + text("u"));
    channel.pair.far.reset();
    EXPECT_EQ(raisedBy([&] { channel.ipc.readMessage("Text"); }).message,
              "MsgIpc: expected message Text, got Other");
    EXPECT_EQ(log.levelOf("chan: MsgIpc: expected message Text, got Other"), 30);
    channel.ipc.readMessage("Text");
    channel.ipc.readAll();
    EXPECT_EQ(channel.recorder.events, (Events{"Text=t", "Text=u"}));
}

} // namespace
