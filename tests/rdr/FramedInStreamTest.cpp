// Framed input: the message end, misuse, bad headers, and resumption of messages that arrive one
// byte at a time, with an empty frame among them, through a pipe.
#include "support/ScriptedInStream.h"

#include <rdr/Exception.h>
#include <rdr/FdInStream.h>
#include <rdr/FramedInStream.h>
#include <rdr/FramedOutStream.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using rdrtest::bytesOf;
using rdrtest::patterned;
using testsupport::raisedBy;

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
    return rdrtest::contentsOf(out);
}

std::string readMessage(rdr::InStreamV4& in) {
    std::string message(in.readU32(), '\0');
    in.readBytesInto(message.data(), int(message.size()));
    in.endMsg();
    return message;
}

struct FramedInput {
    explicit FramedInput(std::string wire) : source(std::move(wire)), in(&source.in) {}
    rdrtest::MemoryInput source;
    rdr::InStreamV4 in;
};

TEST(InStreamV4Messages, ReadingBeyondTheLastFrameRaisesEndOfMessage) {
    FramedInput framed(bytesOf({0x80, 0x01, 'a', 0x80, 0x01, 'b'}));
    framed.in.startMsg(false);
    EXPECT_EQ(framed.in.readU8(), 'a');
    EXPECT_EQ(raisedBy<rdr::EndOfMsg>([&] { framed.in.readU8(); }).message, "End of message");
    framed.in.endMsg();
    framed.in.startMsg(false);
    EXPECT_EQ(framed.in.readU8(), 'b');
}

TEST(InStreamV4Messages, ReadLineEndsAtTheMessageEnd) {
    FramedInput framed(bytesOf({0x80, 0x05, 'a', '\n', 'b', 'c', 'd', 0x80, 0x00}));
    framed.in.startMsg(false);
    plat::DString line;
    framed.in.readLine(line);
    EXPECT_STREQ(line.get(), "a");
    framed.in.readLine(line);
    EXPECT_STREQ(line.get(), "bcd");
    EXPECT_THROW(framed.in.readLine(line), rdr::EndOfMsg);
}

TEST(InStreamV4Messages, EndMsgWithUnreadBytesFails) {
    FramedInput framed(bytesOf({0x80, 0x02, 'a', 'b'}));
    framed.in.startMsg(false);
    framed.in.readU8();
    EXPECT_EQ(raisedBy<rdr::FrameException>([&] { framed.in.endMsg(); }).message,
              "FramedInStream::endMsg: data left in msg");
    EXPECT_TRUE(framed.in.inMsg());
}

TEST(InStreamV4Messages, SkipMsgAndCopyMsgToConsumeTheRest) {
    std::vector<std::string> messages = {patterned(3000, 5), patterned(2000, 6), "end"};
    FramedInput framed(frameMessages(messages, 500));
    rdr::InStreamV4& in = framed.in;
    in.startMsg(false);
    in.readU32();
    in.skipMsg();
    in.endMsg();
    in.startMsg(false);
    rdr::MemOutStream copy;
    in.copyMsgTo(copy);
    in.endMsg();
    EXPECT_EQ(rdrtest::contentsOf(copy), bytesOf({0, 0, 7, 208}) + messages[1]);
    in.startMsg(false);
    EXPECT_EQ(readMessage(in), "end");
}

TEST(InStreamV4BadInput, CutFramesEndWithEndOfStream) {
    for (const std::string& wire :
         {bytesOf({0x80, 0x40, 'a', 'b'}), bytesOf({0x00, 0x01, 'a', 0x80})}) {
        FramedInput framed(wire);
        framed.in.startMsg(false);
        EXPECT_THROW(for (;;) framed.in.readU8(), rdr::EndOfStream);
    }
}

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

TEST(InStreamV4Pipe, MessagesDeliveredOneByteAtATimeAreEachReadWhole) {
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0);
    rdr::FdInStreamOwn source(fds[0]);
    std::vector<std::string> messages = {patterned(300, 7), "", patterned(1, 8), patterned(120, 9)};
    std::string wire = frameMessages(messages, 45);
    // An empty middle frame at the start of the last message.
    std::size_t lastStart = frameMessages({messages[0], messages[1], messages[2]}, 45).size();
    wire.insert(lastStart, std::string("\x00\x00", 2));

    source.setNonBlocking(true);
    rdr::InStreamV4 in(&source);
    std::vector<std::string> received;
    for (char byte : wire) {
        ASSERT_EQ(write(fds[1], &byte, 1), 1);
        while (tryReadMessage(in, received)) {
        }
    }
    EXPECT_EQ(received, messages);
    EXPECT_FALSE(tryReadMessage(in, received)) << "nothing more has arrived";
    close(fds[1]);
}

} // namespace
