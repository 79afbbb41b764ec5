// Framed output: the 2-byte headers (bit 15 last frame, bits 14..0 length), dropped empty frames
// and misuse.
#include "support/ScriptedInStream.h"

#include <rdr/Exception.h>
#include <rdr/FramedOutStream.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using rdrtest::contentsOf;
using rdrtest::patterned;
using testsupport::Raised;
using testsupport::raisedBy;

struct Frame {
    bool last;
    std::string payload;
};

// Raises std::runtime_error when the bytes do not end on a frame boundary.
std::vector<Frame> splitFrames(const std::string& bytes) {
    std::vector<Frame> frames;
    for (std::size_t at = 0; at < bytes.size();) {
        if (bytes.size() - at < 2)
            throw std::runtime_error("cut header");
        unsigned header = unsigned(std::uint8_t(bytes[at])) << 8 | std::uint8_t(bytes[at + 1]);
        std::size_t length = header & 0x7FFF;
        if (bytes.size() - at - 2 < length)
            throw std::runtime_error("cut payload");
        frames.push_back(Frame{(header & 0x8000) != 0, bytes.substr(at + 2, length)});
        at += 2 + length;
    }
    return frames;
}

// The payloads joined, checking that only the final frame is marked last and none is too long.
std::string joinedPayloads(const std::string& bytes, std::size_t maxFrame) {
    std::vector<Frame> frames = splitFrames(bytes);
    std::string joined;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_LE(frames[i].payload.size(), maxFrame);
        EXPECT_EQ(frames[i].last, i + 1 == frames.size()) << "frame " << i;
        joined += frames[i].payload;
    }
    return joined;
}

// The bytes of one message carrying data, framed into a memory stream.
std::string framedMessage(const std::string& data, int memoryBuffer = 100000) {
    rdr::MemOutStream out(memoryBuffer);
    rdr::OutStreamV4 framed(&out);
    framed.startMsg();
    framed.writeBytes(data.data(), int(data.size()));
    framed.endMsg();
    return contentsOf(out);
}

TEST(OutStreamV4Headers, CarryTheLastFlagAndTheLength) {
    std::string data = patterned(40000);
    EXPECT_EQ(framedMessage(data.substr(0, 4468)), "\x91\x74" + data.substr(0, 4468));
    EXPECT_EQ(framedMessage(""), std::string("\x80\x00", 2));
    std::string bytes = framedMessage(data);
    EXPECT_EQ(bytes.substr(0, 2), "\x7F\xFE") << "a full middle frame";
    EXPECT_EQ(joinedPayloads(bytes, 32766), data);
    EXPECT_EQ(splitFrames(bytes).size(), 2u);
}

TEST(OutStreamV4Misuse, MessagesMustBeStartedOnceAndEnded) {
    rdr::MemOutStream out;
    rdr::OutStreamV4 framed(&out);
    auto frameError = [](auto call) {
        Raised raised = raisedBy<rdr::FrameException>(call);
        EXPECT_EQ(raised.type, "FrameException");
        return raised.message;
    };
    EXPECT_EQ(frameError([&] { framed.endMsg(); }), "FramedOutStream::endMsg: not in frame");
    EXPECT_EQ(frameError([&] { framed.writeU8(1); }), "FramedOutStream::endFrame: not in frame");
    EXPECT_EQ(out.length(), 0);
    framed.startMsg();
    EXPECT_EQ(frameError([&] { framed.startMsg(); }), "FramedOutStream::startMsg: already in msg");
}

TEST(OutStreamV4Misuse, FullDestinationSurfacesAsOutStreamFull) {
    rdr::MemOutStream out(-1, 50);
    rdr::OutStreamV4 framed(&out);
    framed.startMsg();
    std::string data = patterned(100);
    EXPECT_THROW(framed.writeBytes(data.data(), int(data.size())), rdr::OutStreamFull);
}

} // namespace
