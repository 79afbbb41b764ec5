// Buffered input: handing pending input on to another stream.
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

} // namespace
