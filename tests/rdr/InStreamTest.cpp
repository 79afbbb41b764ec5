// The input stream core: the end of memory, checkpoints and rewinding, pointers into the window,
// strings with limits and lines.
#include "support/ScriptedInStream.h"

#include <rdr/Exception.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using rdrtest::bytesOf;
using rdrtest::MemoryInput;
using rdrtest::ScriptedInStream;
using testsupport::raisedBy;

std::string asString(const plat::DString& text) {
    return text.c_str();
}

TEST(InStreamIntegers, ReadingPastMemoryRaisesEndOfStream) {
    MemoryInput memory(bytesOf({1, 2, 3}));
    EXPECT_EQ(raisedBy<rdr::EndOfStream>([&] { memory.in.readU32(); }).message,
              "End of in-memory input stream");
}

TEST(InStreamCheckpoint, RewindableStreamReturnsToCheckpointBeforeBlockLeaves) {
    ScriptedInStream in({bytesOf({0, 0, 0, 7, 0xAA, 0xBB}), "", bytesOf({0xCC, 0xDD})});
    in.makeRewindable(true);
    in.setCheckpoint();
    EXPECT_THROW(
        {
            in.readU32();
            in.readU32();
        },
        rdr::BlockException);
    EXPECT_EQ(in.pos(), 0) << "the message must start again at the checkpoint";
    EXPECT_EQ(in.readU32(), 7u);
    EXPECT_EQ(in.readU32(), 0xAABBCCDDu);
}

TEST(InStreamCheckpoint, NonRewindableStreamKeepsConsumedBytesConsumed) {
    ScriptedInStream in({bytesOf({0, 0, 0, 7, 0xAA, 0xBB}), "", bytesOf({0xCC, 0xDD})});
    EXPECT_EQ(in.readU32(), 7u);
    EXPECT_THROW(in.skip(4), rdr::BlockException);
    EXPECT_EQ(in.pos(), 6);
    EXPECT_EQ(in.readU16(), 0xCCDDu);
    EXPECT_EQ(raisedBy([&] { in.rewind(); }).message, "Attempt to rewind a non-rewindable stream");
}

TEST(InStreamCheckpoint, RepositionMovesRelativeToCheckpoint) {
    MemoryInput memory(bytesOf({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    rdr::MemInStream& in = memory.in;
    in.skip(3);
    in.setCheckpoint();
    in.skip(4);
    in.reposition(5);
    EXPECT_EQ(in.readU8(), 5);
    in.reposition(3);
    EXPECT_EQ(in.readU8(), 3) << "repositioning to the checkpoint itself just rewinds";
    EXPECT_EQ(raisedBy([&] { in.reposition(2); }).message, "Can't reposition before checkpoint");

    ScriptedInStream scripted({"abc", "defg"});
    scripted.makeRewindable(true);
    scripted.setCheckpoint();
    scripted.reposition(5);
    EXPECT_EQ(scripted.readU8(), 'f') << "repositioning refills across chunks";
}

TEST(InStreamBytes, GetItemsHandsOutWholeItemsOnly) {
    MemoryInput memory("0123456789");
    char buffer[6] = {};
    int count = 10;
    EXPECT_EQ(memory.in.getItems(buffer, 3, &count), memory.bytes.data());
    EXPECT_EQ(count, 3);
    EXPECT_EQ(memory.in.readU8(), '9');

    ScriptedInStream in({"abc", "def", "gh"}, 4);
    count = 5;
    EXPECT_EQ(in.getItems(buffer, 6, &count), buffer) << "an item larger than the window";
    EXPECT_EQ(count, 1);
    EXPECT_EQ(std::string(buffer, 6), "abcdef");

    ScriptedInStream blocked({"ab", ""});
    blocked.makeRewindable(true);
    count = 1;
    EXPECT_EQ(blocked.getItemsNoCopy(4, &count, false), nullptr);
    EXPECT_EQ(blocked.pos(), 0);
}

TEST(InStreamBytes, BufferFullOfKeptBytesCannotBeRefilled) {
    ScriptedInStream in({"abcdef"}, 4);
    in.makeRewindable(true);
    in.setCheckpoint();
    in.skip(4);
    EXPECT_EQ(raisedBy([&] { in.readU8(); }).message, "InStream overrun: buffer size exceeded");
}

TEST(InStreamStrings, ReadString32AboveTheLimitLeavesTheBytesUnread) {
    MemoryInput atLimit(bytesOf({0, 0, 0, 5}) + "hello");
    EXPECT_EQ(asString(atLimit.in.readString32(5, false)), "hello");
    MemoryInput memory(bytesOf({0, 0, 0, 6}) + "hello!");
    EXPECT_EQ(
        raisedBy<rdr::StringTooLongException>([&] { memory.in.readString32(5, false); }).message,
        "String exceeds maximum length");
    EXPECT_EQ(memory.in.pos(), 4);
    EXPECT_EQ(memory.in.readU8(), 'h');
}

TEST(InStreamStrings, LyingLengthsEndWithoutHugeAllocations) {
    MemoryInput lying(bytesOf({0, 0x10, 0, 0}) + "short");
    EXPECT_THROW(lying.in.readString32(1 << 30, false), rdr::EndOfStream);
    MemoryInput overflowing(bytesOf({0x40, 0, 0, 5}) + "abc");
    EXPECT_THROW(overflowing.in.readString32(-1, false), rdr::StringTooLongException)
        << "beyond what a string holds, even under a generous limit";
}

TEST(InStreamStrings, ValidationRepairsBadUtf8) {
    MemoryInput memory(bytesOf({3, 'a', 0xC3, 'b'}));
    EXPECT_EQ(asString(memory.in.readString8(true)), "a\xEF\xBF\xBD"
                                                     "b");
}

TEST(InStreamLines, CrLfLineThenLastLineThenEndOfStream) {
    MemoryInput memory("ab\r\ncd");
    plat::DString line;
    EXPECT_TRUE(memory.in.readLine(line));
    EXPECT_EQ(asString(line), "ab");
    EXPECT_TRUE(memory.in.readLine(line));
    EXPECT_EQ(asString(line), "cd");
    EXPECT_THROW(memory.in.readLine(line), rdr::EndOfStream);
}

TEST(InStreamLines, OverlongLineRaisesAndLeavesTheRestUnread) {
    MemoryInput memory("abcdefg\nz");
    plat::DString line;
    EXPECT_THROW(memory.in.readLine(line, 4), rdr::StringTooLongException);
    EXPECT_TRUE(line.isEmpty());
    EXPECT_EQ(memory.in.readU8(), 'f');
}

} // namespace
