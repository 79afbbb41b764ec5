// The input stream core: integers across refills, checkpoints and rewinding, pointers into the
// window, strings with limits, lines and uniform random numbers.
#include "support/ScriptedInStream.h"

#include <rdr/Exception.h>
#include <rdr/MemInStream.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using rdrtest::bytesOf;
using rdrtest::ScriptedInStream;

namespace {

using testsupport::raisedBy;

std::string asString(const plat::DString& text) {
    return text.c_str();
}

// Integers -----------------------------------------------------------------------------------

TEST(InStreamIntegers, U32SplitAcrossRefillsIsAssembledBigEndian) {
    ScriptedInStream in;
    in.addChunk(bytesOf({0x12, 0x34}));
    in.addChunk(bytesOf({0x56, 0x78}));
    EXPECT_EQ(in.readU32(), 0x12345678u);
    EXPECT_EQ(in.pos(), 4);
}

TEST(InStreamIntegers, U64SplitIntoSingleBytesIsAssembled) {
    ScriptedInStream in;
    for (int byte : {1, 2, 3, 4, 5, 6, 7, 8})
        in.addChunk(bytesOf({byte}));
    EXPECT_EQ(in.readU64(), 0x0102030405060708ull);
}

TEST(InStreamIntegers, ReadingPastMemoryRaisesEndOfStream) {
    std::string data = bytesOf({1, 2, 3});
    rdr::MemInStream in(data.data(), int(data.size()));
    EXPECT_EQ(raisedBy<rdr::EndOfStream>([&] { in.readU32(); }).message,
              "End of in-memory input stream");
}

// Checkpoints and rewinding ---------------------------------------------------------------------

TEST(InStreamCheckpoint, RewindableStreamReturnsToCheckpointBeforeBlockLeaves) {
    ScriptedInStream in;
    in.makeRewindable(true);
    in.addChunk(bytesOf({0, 0, 0, 7, 0xAA, 0xBB}));
    in.addBlock();
    in.addChunk(bytesOf({0xCC, 0xDD}));

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
    ScriptedInStream in;
    in.addChunk(bytesOf({0, 0, 0, 7, 0xAA, 0xBB}));
    in.addBlock();
    in.addChunk(bytesOf({0xCC, 0xDD}));

    EXPECT_EQ(in.readU32(), 7u);
    EXPECT_THROW(in.skip(4), rdr::BlockException);
    EXPECT_EQ(in.pos(), 6);
    EXPECT_EQ(in.readU16(), 0xCCDDu);
}

TEST(InStreamCheckpoint, CheckWithoutThrowReportsNoDataAndRewinds) {
    ScriptedInStream in;
    in.makeRewindable(true);
    in.addChunk(bytesOf({1, 2}));
    in.addBlock();
    in.setCheckpoint();
    in.readU16();
    EXPECT_FALSE(in.check(1, false));
    EXPECT_EQ(in.pos(), 0);
}

TEST(InStreamCheckpoint, RewindOfNonRewindableStreamFails) {
    ScriptedInStream in;
    EXPECT_EQ(raisedBy([&] { in.rewind(); }).message, "Attempt to rewind a non-rewindable stream");
}

TEST(InStreamCheckpoint, RepositionMovesRelativeToCheckpoint) {
    std::string data = bytesOf({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    rdr::MemInStream in(data.data(), int(data.size()));
    in.skip(3);
    in.setCheckpoint();
    in.skip(4);
    in.reposition(5);
    EXPECT_EQ(in.readU8(), 5);
    in.reposition(3);
    EXPECT_EQ(in.readU8(), 3) << "repositioning to the checkpoint itself just rewinds";
    EXPECT_EQ(raisedBy([&] { in.reposition(2); }).message, "Can't reposition before checkpoint");
}

TEST(InStreamCheckpoint, RepositionRefillsAcrossChunks) {
    ScriptedInStream in;
    in.makeRewindable(true);
    in.addChunk("abc");
    in.addChunk("defg");
    in.setCheckpoint();
    in.reposition(5);
    EXPECT_EQ(in.readU8(), 'f');
}

// Pointers into the window ------------------------------------------------------------------------

TEST(InStreamBytes, ReadBytesPointsIntoWindowWhenContiguous) {
    std::string data = "abcdef";
    rdr::MemInStream in(data.data(), int(data.size()));
    char buffer[4] = {};
    const void* bytes = in.readBytes(buffer, 4);
    EXPECT_EQ(bytes, data.data());
    EXPECT_EQ(std::string(static_cast<const char*>(bytes), 4), "abcd");
    EXPECT_EQ(in.pos(), 4);
}

TEST(InStreamBytes, ReadBytesCopiesAcrossRefillsIntoCallerBuffer) {
    ScriptedInStream in(4);
    in.addChunk("abc");
    in.addChunk("def");
    in.addChunk("ghi");
    char buffer[8] = {};
    const void* bytes = in.readBytes(buffer, 8);
    EXPECT_EQ(bytes, buffer);
    EXPECT_EQ(std::string(buffer, 8), "abcdefgh");
    EXPECT_EQ(in.readU8(), 'i');
}

TEST(InStreamBytes, GetItemsHandsOutWholeItemsOnly) {
    std::string data = "0123456789";
    rdr::MemInStream in(data.data(), int(data.size()));
    char buffer[3];
    int count = 10;
    const char* items = static_cast<const char*>(in.getItems(buffer, 3, &count));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(items, data.data());
    EXPECT_EQ(in.readU8(), '9');
}

TEST(InStreamBytes, GetItemsCopiesAnItemLargerThanTheWindow) {
    ScriptedInStream in(4);
    in.addChunk("abc");
    in.addChunk("def");
    in.addChunk("gh");
    char buffer[6] = {};
    int count = 5;
    const void* items = in.getItems(buffer, 6, &count);
    EXPECT_EQ(items, buffer);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(std::string(buffer, 6), "abcdef");
    EXPECT_EQ(in.readU16(), ('g' << 8) | 'h');
}

TEST(InStreamBytes, GetItemsNoCopyReturnsNullWhenNoWholeItemCanBeHad) {
    ScriptedInStream in;
    in.makeRewindable(true);
    in.addChunk("ab");
    in.addBlock();
    int count = 1;
    EXPECT_EQ(in.getItemsNoCopy(4, &count, false), nullptr);
    EXPECT_EQ(in.pos(), 0);
}

TEST(InStreamBytes, BufferFullOfKeptBytesCannotBeRefilled) {
    ScriptedInStream in(4);
    in.makeRewindable(true);
    in.addChunk("abcdef");
    in.setCheckpoint();
    in.skip(4);
    EXPECT_EQ(raisedBy([&] { in.readU8(); }).message, "InStream overrun: buffer size exceeded");
}

// Strings ---------------------------------------------------------------------------------------

TEST(InStreamStrings, ReadString32AtTheLimitSucceeds) {
    std::string data = bytesOf({0, 0, 0, 5}) + "hello";
    rdr::MemInStream in(data.data(), int(data.size()));
    EXPECT_EQ(asString(in.readString32(5, false)), "hello");
}

TEST(InStreamStrings, ReadString32AboveTheLimitLeavesTheBytesUnread) {
    std::string data = bytesOf({0, 0, 0, 6}) + "hello!";
    rdr::MemInStream in(data.data(), int(data.size()));
    EXPECT_EQ(raisedBy<rdr::StringTooLongException>([&] { in.readString32(5, false); }).message,
              "String exceeds maximum length");
    EXPECT_EQ(in.pos(), 4);
    EXPECT_EQ(in.readU8(), 'h');
}

TEST(InStreamStrings, ReadString32WithLyingLengthEndsWithEndOfStream) {
    std::string data = bytesOf({0, 0x10, 0, 0}) + "short";
    rdr::MemInStream in(data.data(), int(data.size()));
    EXPECT_THROW(in.readString32(1 << 30, false), rdr::EndOfStream);
}

TEST(InStreamStrings, LengthBeyondWhatAStringHoldsIsRefusedUnderAGenerousLimit) {
    std::string data = bytesOf({0x40, 0, 0, 5}) + "abc";
    rdr::MemInStream in(data.data(), int(data.size()));
    EXPECT_THROW(in.readString32(-1, false), rdr::StringTooLongException);
}

TEST(InStreamStrings, StringAssembledAcrossRefills) {
    ScriptedInStream in(4);
    in.addChunk(bytesOf({0, 0, 0, 9}));
    in.addChunk("abc");
    in.addChunk("defg");
    in.addChunk("hi");
    EXPECT_EQ(asString(in.readString32(100, false)), "abcdefghi");
}

TEST(InStreamStrings, ValidationRepairsBadUtf8) {
    std::string data = bytesOf({3, 'a', 0xC3, 'b'});
    rdr::MemInStream in(data.data(), int(data.size()));
    EXPECT_EQ(asString(in.readString8(true)), "a\xEF\xBF\xBD"
                                              "b");
}

TEST(InStreamLines, CrLfLineThenLastLineAtEndOfStream) {
    std::string data = "ab\r\ncd";
    rdr::MemInStream in(data.data(), int(data.size()));
    plat::DString line;
    EXPECT_TRUE(in.readLine(line));
    EXPECT_EQ(asString(line), "ab");
    EXPECT_TRUE(in.readLine(line));
    EXPECT_EQ(asString(line), "cd");
    EXPECT_THROW(in.readLine(line), rdr::EndOfStream);
}

TEST(InStreamLines, EmptyStreamRaisesEndOfStream) {
    rdr::MemInStream in("", 0);
    plat::DString line;
    EXPECT_THROW(in.readLine(line), rdr::EndOfStream);
}

TEST(InStreamLines, NulIsStoredAndReported) {
    std::string data("a\0b\n", 4);
    rdr::MemInStream in(data.data(), int(data.size()));
    plat::DString line;
    bool hasNul = false;
    in.readLine(line, 0, &hasNul);
    EXPECT_TRUE(hasNul);
    EXPECT_EQ(std::memcmp(line.get(), "a\0b", 4), 0);
}

TEST(InStreamLines, OverlongLineRaisesAndLeavesTheRestUnread) {
    std::string data = "abcdefg\nz";
    rdr::MemInStream in(data.data(), int(data.size()));
    plat::DString line;
    EXPECT_THROW(in.readLine(line, 4), rdr::StringTooLongException);
    EXPECT_TRUE(line.isEmpty());
    EXPECT_EQ(in.readU8(), 'f');
}

TEST(InStreamLines, ValidationReportsRepair) {
    std::string data = "ok\n\xFF\n";
    rdr::MemInStream in(data.data(), int(data.size()));
    plat::DString line;
    EXPECT_TRUE(in.readLine(line, 0, nullptr, true));
    EXPECT_FALSE(in.readLine(line, 0, nullptr, true));
    EXPECT_EQ(asString(line), "\xEF\xBF\xBD");
}

// Random numbers
// ------------------------------------------------------------------------------------

TEST(InStreamRandom, ValuesBelowThresholdAreSkipped) {
    // For n = 3 the threshold is 2^32 mod 3 = 1: the first value 0 is rejected, 5 gives 2.
    std::string data = bytesOf({0, 0, 0, 0, 0, 0, 0, 5});
    rdr::MemInStream in(data.data(), int(data.size()));
    EXPECT_EQ(in.readRandom(3), 2u);
    EXPECT_TRUE(in.atEnd());
}

TEST(InStreamRandom, NinthValueIsTakenRegardless) {
    std::string data(9 * 4, '\0');
    rdr::MemInStream in(data.data(), int(data.size()));
    EXPECT_EQ(in.readRandom(3), 0u);
    EXPECT_TRUE(in.atEnd());
}

} // namespace
