// Buffered input: refills, discarding consumed bytes, handing pending input on, and the
// non-blockable variant's rewinding.
#include "support/ScriptedInStream.h"

#include <rdr/Exception.h>
#include <rdr/MemInStream.h>
#include <rdr/MemOutStream.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <string>

using rdrtest::bytesOf;
using rdrtest::ScriptedInStream;

namespace {

using testsupport::raisedBy;

TEST(BufferedInStreamRefill, NonRewindableStreamReadsFarMoreThanItsBuffer) {
    ScriptedInStream in(16);
    std::string data;
    for (int i = 0; i < 1000; ++i)
        data.push_back(char(i * 7));
    in.addChunk(data);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(in.readU8(), std::uint8_t(i * 7)) << "at " << i;
    EXPECT_EQ(in.pos(), 1000);
}

TEST(BufferedInStreamRefill, PositionCountsDiscardedBytes) {
    ScriptedInStream in(8);
    in.addChunk("0123456789abcdef");
    in.skip(10);
    EXPECT_EQ(in.pos(), 10);
    EXPECT_EQ(in.readU8(), 'a');
}

TEST(BufferedInStreamRefill, RewindableStreamKeepsBytesFromTheCheckpoint) {
    ScriptedInStream in(8);
    in.makeRewindable(true);
    in.addChunk("0123456789");
    in.skip(3);
    in.setCheckpoint();
    in.skip(6);
    in.rewind();
    EXPECT_EQ(in.pos(), 3);
    EXPECT_EQ(in.readU8(), '3');
}

TEST(BufferedInStreamHandOver, WriteToAndReadFromMovePendingInput) {
    ScriptedInStream source;
    source.addChunk("xxpending");
    source.skip(2);
    source.check(1, true);
    rdr::MemOutStream record;
    source.writeTo(record);
    EXPECT_EQ(source.nUnread(), 7) << "the bytes stay unread in the source";

    ScriptedInStream target;
    rdr::MemInStream recordIn(record.data(), record.length());
    target.readFrom(recordIn);
    EXPECT_EQ(target.nUnread(), 7);
    char buffer[7];
    target.readBytesInto(buffer, 7);
    EXPECT_EQ(std::string(buffer, 7), "pending");
}

TEST(BufferedInStreamHandOver, ReadFromRefusesMoreThanTheBufferHolds) {
    ScriptedInStream target(4);
    std::string record = bytesOf({0, 0, 0, 5}) + "12345";
    rdr::MemInStream recordIn(record.data(), int(record.size()));
    EXPECT_EQ(raisedBy([&] { target.readFrom(recordIn); }).message,
              "Too much data for InStream buffer");
}

TEST(BufferedNonBlockable, NonBlockingModeMakesTheStreamRewindable) {
    ScriptedInStream in;
    in.addChunk("ab");
    in.addBlock();
    in.addChunk("cd");
    in.setNonBlocking(true);
    EXPECT_EQ(in.readU8(), 'a');
    EXPECT_THROW(in.readU32(), rdr::BlockException);
    EXPECT_EQ(in.pos(), 0);
    EXPECT_EQ(in.readU32(), std::uint32_t('a' << 24 | 'b' << 16 | 'c' << 8 | 'd'));
}

} // namespace
