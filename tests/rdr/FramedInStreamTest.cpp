// Framed input: messages across frames, empty frames, the message end, misuse, bad headers, and
// resumption of messages that arrive one byte at a time through a pipe.
#include "support/ScriptedInStream.h"

#include <rdr/Exception.h>
#include <rdr/FdInStream.h>
#include <rdr/FramedInStream.h>
#include <rdr/FramedOutStream.h>
#include <rdr/MemInStream.h>
#include <rdr/MemOutStream.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

using rdrtest::bytesOf;

namespace {

using testsupport::Raised;
using testsupport::raisedBy;

std::string patterned(int size, int seed) {
    std::string data;
    for (int i = 0; i < size; ++i)
        data.push_back(char(i * 13 + seed));
    return data;
}

// Each message: a U32 length, then that many bytes; frames are cut every `frameEvery` bytes.
std::string frameMessages(const std::vector<std::string>& messages, int frameEvery) {
    rdr::MemOutStream out;
    rdr::OutStreamV4 framed(&out);
    for (const std::string& message : messages) {
        framed.startMsg();
        framed.writeU32(std::uint32_t(message.size()));
        for (std::size_t at = 0; at < message.size(); at += std::size_t(frameEvery)) {
            std::size_t count = std::min(message.size() - at, std::size_t(frameEvery));
            framed.writeBytes(message.data() + at, int(count));
            framed.flush();
        }
        framed.endMsg();
    }
    return std::string(reinterpret_cast<const char*>(out.data()), std::size_t(out.length()));
}

std::string readMessage(rdr::InStreamV4& in) {
    std::uint32_t length = in.readU32();
    std::string message(length, '\0');
    in.readBytesInto(message.data(), int(length));
    in.endMsg();
    return message;
}

// Messages ----------------------------------------------------------------------------------------

TEST(InStreamV4Messages, RoundTripAcrossManyFrames) {
    std::vector<std::string> messages = {patterned(0, 1), patterned(1, 2), patterned(5000, 3),
                                         patterned(70000, 4)};
    std::string wire = frameMessages(messages, 777);
    rdr::MemInStream source(wire.data(), int(wire.size()));
    rdr::InStreamV4 in(&source);
    for (const std::string& expected : messages) {
        ASSERT_TRUE(in.startMsg(false));
        EXPECT_EQ(readMessage(in), expected);
    }
    EXPECT_TRUE(source.atEnd());
}

TEST(InStreamV4Messages, IntegerSplitAcrossFramesIsAssembled) {
    std::string wire = bytesOf({0x00, 0x01, 0x12, 0x00, 0x02, 0x34, 0x56, 0x80, 0x01, 0x78});
    rdr::MemInStream source(wire.data(), int(wire.size()));
    rdr::InStreamV4 in(&source);
    in.startMsg(true);
    EXPECT_EQ(in.readU32(), 0x12345678u);
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(in.pos(), 4) << "headers are not part of the message position";
}

TEST(InStreamV4Messages, EmptyMiddleFrameIsSkipped) {
    std::string wire = bytesOf({0x00, 0x00, 0x80, 0x03, 'a', 'b', 'c'});
    rdr::MemInStream source(wire.data(), int(wire.size()));
    rdr::InStreamV4 in(&source);
    ASSERT_TRUE(in.startMsg(false));
    char bytes[3];
    in.readBytesInto(bytes, 3);
    EXPECT_EQ(std::string(bytes, 3), "abc");
    EXPECT_TRUE(in.atEnd());
}

TEST(InStreamV4Messages, ReadingBeyondTheLastFrameRaisesEndOfMessage) {
    std::string wire = bytesOf({0x80, 0x01, 'a', 0x80, 0x01, 'b'});
    rdr::MemInStream source(wire.data(), int(wire.size()));
    rdr::InStreamV4 in(&source);
    in.startMsg(false);
    EXPECT_EQ(in.readU8(), 'a');
    Raised raised = raisedBy<rdr::EndOfMsg>([&] { in.readU8(); });
    EXPECT_EQ(raised.message, "End of message");
    EXPECT_EQ(raised.type, "EndOfMsg");
    in.endMsg();
    in.startMsg(false);
    EXPECT_EQ(in.readU8(), 'b');
}

TEST(InStreamV4Messages, ReadLineEndsAtTheMessageEnd) {
    std::string wire = bytesOf({0x80, 0x05, 'a', '\n', 'b', 'c', 'd', 0x80, 0x00});
    rdr::MemInStream source(wire.data(), int(wire.size()));
    rdr::InStreamV4 in(&source);
    in.startMsg(false);
    plat::DString line;
    in.readLine(line);
    EXPECT_STREQ(line.get(), "a");
    in.readLine(line);
    EXPECT_STREQ(line.get(), "bcd");
    EXPECT_THROW(in.readLine(line), rdr::EndOfMsg);
}

TEST(InStreamV4Messages, EndMsgWithUnreadBytesFails) {
    std::string wire = bytesOf({0x80, 0x02, 'a', 'b'});
    rdr::MemInStream source(wire.data(), int(wire.size()));
    rdr::InStreamV4 in(&source);
    in.startMsg(false);
    in.readU8();
    EXPECT_EQ(raisedBy<rdr::FrameException>([&] { in.endMsg(); }).message,
              "FramedInStream::endMsg: data left in msg");
    EXPECT_TRUE(in.inMsg());
}

TEST(InStreamV4Messages, SkipMsgAndCopyMsgToConsumeTheRest) {
    std::vector<std::string> messages = {patterned(3000, 5), patterned(2000, 6), "end"};
    std::string wire = frameMessages(messages, 500);
    rdr::MemInStream source(wire.data(), int(wire.size()));
    rdr::InStreamV4 in(&source);
    in.startMsg(false);
    in.readU32();
    in.skipMsg();
    in.endMsg();
    in.startMsg(false);
    rdr::MemOutStream copy;
    in.copyMsgTo(copy);
    in.endMsg();
    EXPECT_EQ(copy.length(), 2004);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(copy.data()) + 4, 2000), messages[1]);
    in.startMsg(false);
    EXPECT_EQ(readMessage(in), "end");
}

// Bad input ---------------------------------------------------------------------------------------

TEST(InStreamV4BadInput, FrameAnnouncingMoreThanThereIsEndsWithEndOfStream) {
    std::string wire = bytesOf({0x80, 0x40, 'a', 'b'});
    rdr::MemInStream source(wire.data(), int(wire.size()));
    rdr::InStreamV4 in(&source);
    in.startMsg(false);
    char buffer[64];
    EXPECT_THROW(in.readBytesInto(buffer, 64), rdr::EndOfStream);
}

TEST(InStreamV4BadInput, CutHeaderEndsWithEndOfStream) {
    std::string wire = bytesOf({0x00, 0x01, 'a', 0x80});
    rdr::MemInStream source(wire.data(), int(wire.size()));
    rdr::InStreamV4 in(&source);
    in.startMsg(false);
    in.readU8();
    EXPECT_THROW(in.readU8(), rdr::EndOfStream);
}

TEST(InStreamV4BadInput, StringLengthAboveLimitInsideAMessage) {
    std::string wire = bytesOf({0x80, 0x06, 0, 0, 0, 9, 'a', 'b'});
    rdr::MemInStream source(wire.data(), int(wire.size()));
    rdr::InStreamV4 in(&source);
    in.startMsg(false);
    EXPECT_THROW(in.readString32(8, false), rdr::StringTooLongException);
    EXPECT_EQ(in.readU8(), 'a');
}

// Resumption --------------------------------------------------------------------------------------

TEST(InStreamV4Resumption, BlockedReadRestartsFromTheMessageStart) {
    std::string wire = frameMessages({"0123456789"}, 4);
    rdrtest::ScriptedInStream source;
    source.setNonBlocking(true);
    source.addChunk(wire.substr(0, 9));
    source.addBlock();
    source.addChunk(wire.substr(9));
    rdr::InStreamV4 in(&source);
    ASSERT_TRUE(in.startMsg(false));
    in.setCheckpoint();
    EXPECT_THROW(readMessage(in), rdr::BlockException);
    EXPECT_EQ(in.pos(), 0);
    EXPECT_EQ(readMessage(in), "0123456789");
}

class PipeFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0); }
    void TearDown() override {
        close(fds[0]);
        close(fds[1]);
    }
    int fds[2] = {-1, -1};
};

using InStreamV4Pipe = PipeFixture;

// One attempt of the reader's event-loop step: false when the message has not fully arrived.
bool tryReadMessage(rdr::InStreamV4& in, std::vector<std::string>& received) {
    try {
        if (!in.startMsg(false))
            return false;
        received.push_back(readMessage(in));
        return true;
    } catch (rdr::BlockException&) {
        return false;
    }
}

TEST_F(InStreamV4Pipe, MessagesDeliveredOneByteAtATimeAreEachReadWhole) {
    std::vector<std::string> messages = {patterned(300, 7), "", patterned(1, 8), patterned(120, 9)};
    std::string wire = frameMessages(messages, 45);
    // An empty middle frame at the start of the last message.
    std::size_t lastStart = frameMessages({messages[0], messages[1], messages[2]}, 45).size();
    wire.insert(lastStart, std::string("\x00\x00", 2));

    rdr::FdInStream source(fds[0]);
    source.setNonBlocking(true);
    rdr::InStreamV4 in(&source);
    std::vector<std::string> received;
    int attempts = 0;
    for (char byte : wire) {
        ASSERT_EQ(write(fds[1], &byte, 1), 1);
        while (tryReadMessage(in, received))
            ++attempts;
        ++attempts;
    }
    EXPECT_EQ(received, messages);
    EXPECT_FALSE(tryReadMessage(in, received)) << "nothing more has arrived";
    EXPECT_GT(attempts, int(wire.size()));
}

} // namespace
