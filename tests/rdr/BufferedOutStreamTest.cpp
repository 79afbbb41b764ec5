// Buffered output: growth up to the maximum, and the refusals beyond it.
#include "support/ScriptedInStream.h"

#include <rdr/Exception.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using rdrtest::ScriptedOutStream;
using testsupport::raisedBy;

TEST(BufferedOutStreamGrowth, RefusingDestinationGrowsBufferToMaximumThenFails) {
    ScriptedOutStream out(1024, 8192);
    out.setAcceptPerWrite(0);
    std::string chunk(1000, 'a');
    int written = 0;
    EXPECT_EQ(raisedBy([&] {
                  for (;; written += int(chunk.size()))
                      out.writeBytes(chunk.data(), int(chunk.size()));
              }).message,
              "BufferedOutStream overrun: unable to write");
    EXPECT_EQ(out.bufferSize(), 8192) << "doubled 1024 -> 2048 -> 4096 -> 8192";
    EXPECT_EQ(out.bufferedBytes(), 8192) << "every byte that went in stays pending";
    EXPECT_GE(written, 7000);
    EXPECT_GT(out.waitingWrites(), 0) << "a waiting write was tried before giving up";
}

TEST(BufferedOutStreamGrowth, ItemAboveMaximumIsRefused) {
    ScriptedOutStream out(2, 4);
    out.setAcceptPerWrite(0);
    out.writeU16(1);
    EXPECT_EQ(raisedBy([&] { out.writeU64(1); }).message,
              "BufferedOutStream overrun: buffer size exceeded");
}

} // namespace
