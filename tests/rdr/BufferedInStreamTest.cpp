// Buffered input: refills that keep bytes from the checkpoint, handing pending input on, and the
// non-blockable variant's rewinding.
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

TEST(BufferedInStreamRefill, RewindableStreamKeepsBytesFromTheCheckpoint) {
    ScriptedInStream in({"0123456789"}, 8);
    in.makeRewindable(true);
    in.skip(3);
    in.setCheckpoint();
    in.skip(6);
    in.rewind();
    EXPECT_EQ(in.pos(), 3);
    EXPECT_EQ(in.readU8(), '3');
}

TEST(BufferedInStreamHandOver, WriteToAndReadFromMovePendingInput) {
    ScriptedInStream source({"xxpending"});
    source.skip(2);
    source.check(1, true);
    rdr::MemOutStream record;
    source.writeTo(record);
    EXPECT_EQ(source.nUnread(), 7) << "the bytes stay unread in the source";

    ScriptedInStream target;
    MemoryInput recordIn(rdrtest::contentsOf(record));
    target.readFrom(recordIn.in);
    EXPECT_EQ(target.nUnread(), 7);
    char buffer[7];
    target.readBytesInto(buffer, 7);
    EXPECT_EQ(std::string(buffer, 7), "pending");
}

TEST(BufferedInStreamHandOver, ReadFromRefusesMoreThanTheBufferHolds) {
    ScriptedInStream target({}, 4);
    MemoryInput recordIn(bytesOf({0, 0, 0, 5}) + "12345");
    EXPECT_EQ(raisedBy([&] { target.readFrom(recordIn.in); }).message,
              "Too much data for InStream buffer");
}

TEST(BufferedNonBlockable, NonBlockingModeMakesTheStreamRewindable) {
    ScriptedInStream in({"ab", "", "cd"});
    in.setNonBlocking(true);
    EXPECT_EQ(in.readU8(), 'a');
    EXPECT_THROW(in.readU32(), rdr::BlockException);
    EXPECT_EQ(in.pos(), 0);
    EXPECT_EQ(in.readU32(), std::uint32_t('a' << 24 | 'b' << 16 | 'c' << 8 | 'd'));
}

} // namespace
