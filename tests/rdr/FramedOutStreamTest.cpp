// Framed output: the 2-byte headers, frame size limits, dropped empty frames and misuse.
#include "support/ScriptedInStream.h"
#include "support/frames.h"

#include <rdr/Exception.h>
#include <rdr/FramedOutStream.h>
#include <rdr/MemOutStream.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <string>

using rdrtest::splitFrames;

namespace {

using testsupport::Raised;
using testsupport::raisedBy;

std::string bytesOf(rdr::MemOutStream& out) {
    return std::string(reinterpret_cast<const char*>(out.data()), std::size_t(out.length()));
}

std::string patterned(int size) {
    std::string data;
    for (int i = 0; i < size; ++i)
        data.push_back(char(i * 31 + i / 251));
    return data;
}

// The bytes of one message carrying data, framed into a memory stream.
std::string framedMessage(const std::string& data, int memoryBuffer = 100000) {
    rdr::MemOutStream out(memoryBuffer);
    rdr::OutStreamV4 framed(&out);
    framed.startMsg();
    framed.writeBytes(data.data(), int(data.size()));
    framed.endMsg();
    return bytesOf(out);
}

template <typename F>
void expectFrameError(F call, const char* message) {
    Raised raised = raisedBy<rdr::FrameException>([&] { call(); });
    EXPECT_EQ(raised.message, message);
    EXPECT_EQ(raised.type, "FrameException");
}

// Headers ---------------------------------------------------------------------------------------

TEST(OutStreamV4Headers, LastFrameOf4468BytesHasHeader9174) {
    std::string data = patterned(4468);
    EXPECT_EQ(framedMessage(data), "\x91\x74" + data);
}

TEST(OutStreamV4Headers, FullMiddleFrameHasHeader7FFE) {
    std::string data = patterned(40000);
    std::string bytes = framedMessage(data);
    EXPECT_EQ(bytes.substr(0, 2), "\x7F\xFE");
    auto frames = splitFrames(bytes);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_FALSE(frames[0].last);
    EXPECT_EQ(frames[0].payload.size(), 32766u);
    EXPECT_TRUE(frames[1].last);
    EXPECT_EQ(frames[0].payload + frames[1].payload, data);
}

TEST(OutStreamV4Headers, EmptyMessageIsTheTwoBytes8000) {
    EXPECT_EQ(framedMessage(""), std::string("\x80\x00", 2));
}

// Frame sizes -------------------------------------------------------------------------------------

TEST(OutStreamV4Sizes, NoFrameCarriesMoreThan32766Bytes) {
    rdr::MemOutStream out;
    rdr::OutStreamV4 framed(&out);
    std::string data = patterned(300000);
    framed.startMsg();
    for (std::size_t at = 0; at < data.size(); at += 7777)
        framed.writeBytes(data.data() + at, int(std::min<std::size_t>(7777, data.size() - at)));
    for (int i = 0; i < 20000; ++i)
        framed.writeU32(std::uint32_t(i));
    framed.endMsg();
    std::string joined;
    auto frames = splitFrames(bytesOf(out));
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_LE(frames[i].payload.size(), 32766u);
        EXPECT_EQ(frames[i].last, i + 1 == frames.size());
        joined += frames[i].payload;
    }
    EXPECT_EQ(joined.size(), 380000u);
    EXPECT_EQ(joined.substr(0, data.size()), data);
    EXPECT_EQ(framed.length(), 380000);
}

TEST(OutStreamV4Sizes, FrameEndsWhereTheUnderlyingWindowEnds) {
    auto frames = splitFrames(framedMessage(patterned(1000), 100));
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[0].payload.size(), 98u) << "the first window held 100 bytes";
}

TEST(OutStreamV4Sizes, FramesOverBufferedOutputStayWithinItsWindow) {
    rdrtest::ScriptedOutStream out(-1, -1);
    rdr::OutStreamV4 framed(&out);
    framed.startMsg();
    std::string data = patterned(100000);
    framed.writeBytes(data.data(), int(data.size()));
    framed.endMsg(true);
    std::string joined;
    for (const auto& frame : splitFrames(out.received())) {
        EXPECT_LE(frame.payload.size(), 16382u);
        joined += frame.payload;
    }
    EXPECT_EQ(joined, data);
}

// Flushing ----------------------------------------------------------------------------------------

TEST(OutStreamV4Flush, FlushWithNothingNewEmitsNoFrame) {
    rdr::MemOutStream out;
    rdr::OutStreamV4 framed(&out);
    framed.startMsg();
    framed.writeBytes("abc", 3);
    framed.flush();
    framed.flush();
    framed.endMsg();
    EXPECT_EQ(bytesOf(out), std::string("\x00\x03"
                                        "abc\x80\x00",
                                        7));
}

TEST(OutStreamV4Flush, LengthCountsPayloadOnly) {
    rdr::MemOutStream out;
    rdr::OutStreamV4 framed(&out);
    framed.startMsg();
    framed.writeU32(1);
    EXPECT_EQ(framed.length(), 4);
    framed.endMsg();
    framed.startMsg();
    framed.writeU8(1);
    framed.endMsg();
    EXPECT_EQ(framed.length(), 5);
    EXPECT_EQ(out.length(), 9);
}

// Misuse ------------------------------------------------------------------------------------------

TEST(OutStreamV4Misuse, StartingAMessageTwiceFails) {
    rdr::MemOutStream out;
    rdr::OutStreamV4 framed(&out);
    framed.startMsg();
    expectFrameError([&] { framed.startMsg(); }, "FramedOutStream::startMsg: already in msg");
}

TEST(OutStreamV4Misuse, EndingOrWritingOutsideAMessageFails) {
    rdr::MemOutStream out;
    rdr::OutStreamV4 framed(&out);
    expectFrameError([&] { framed.endMsg(); }, "FramedOutStream::endMsg: not in frame");
    expectFrameError([&] { framed.writeU8(1); }, "FramedOutStream::endFrame: not in frame");
    EXPECT_EQ(out.length(), 0);
}

TEST(OutStreamV4Misuse, FullDestinationSurfacesAsOutStreamFull) {
    rdr::MemOutStream out(-1, 50);
    rdr::OutStreamV4 framed(&out);
    framed.startMsg();
    std::string data = patterned(100);
    EXPECT_THROW(framed.writeBytes(data.data(), int(data.size())), rdr::OutStreamFull);
}

} // namespace
