// The memory output stream: maximum size and handing the buffer over.
#include "support/ScriptedInStream.h"

#include <rdr/Exception.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

namespace {

using rdrtest::contentsOf;
using testsupport::Raised;
using testsupport::raisedBy;

TEST(MemOutStreamLimit, GrowthStopsAtTheMaximumAndRefusesMore) {
    rdr::MemOutStream out(4, 10);
    out.writeBytes("0123456789", 10);
    EXPECT_EQ(out.spaceLeft(), 0);
    Raised raised = raisedBy<rdr::OutStreamFull>([&] { out.writeU16('x'); });
    EXPECT_EQ(raised.message, "OutStream full");
    EXPECT_EQ(raised.type, "OutStreamFull");
    EXPECT_EQ(out.length(), 10);

    plat::DString text;
    out.takeCString(text);
    EXPECT_STREQ(text.get(), "0123456789") << "the NUL is added even at the maximum";
    EXPECT_EQ(out.length(), 0);
}

TEST(MemOutStreamHandOver, TakeBufferLeavesTheStreamEmptyAndUsable) {
    rdr::MemOutStream out;
    out.writeU32(0x01020304);
    plat::MBuf<unsigned char> buffer;
    EXPECT_EQ(out.takeBuffer(buffer), 4);
    ASSERT_EQ(buffer.length(), 4u);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[3], 4);
    EXPECT_EQ(out.length(), 0);
    out.writeU8(5);
    EXPECT_EQ(contentsOf(out), "\x05");
}

} // namespace
