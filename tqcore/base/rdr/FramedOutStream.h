// Writes messages as sequences of length-prefixed frames into the window of another output
// stream (not owned), without copying: each frame's payload is written in place behind room
// reserved for its header. OutStreamV4 is the 2-byte-header variant.
#pragma once

#include <rdr/OutStream.h>

namespace rdr {

class FramedOutStream : public OutStream {
public:
    FramedOutStream(OutStream* underlying, int maxFrameSize, int hdrSize);

    void setUnderlying(OutStream* out);
    void startMsg();
    // Opens a frame whose window offers at least minSize bytes.
    void startFrame(int minSize);
    void endFrame(bool lastFrame);
    void endMsg(bool flushUnderlying = false);
    bool inMsg() const { return inMessage; }

    int length() override;
    bool flush() override;
    OutStream* innermost() override;
    int spaceLeft() override;
    bool shutdown() override;

protected:
    int overrun(int itemSize, int nItems) override;
    // Writes hdrSize bytes at ptr and advances ptr by exactly hdrSize.
    virtual void writeHeader(int payloadLength, bool lastFrame, bool firstFrame) = 0;

    const std::int32_t maxFrameSize;
    const std::int32_t hdrSize;

private:
    void collapseWindow();

    bool inMessage = false;
    bool inFrame = false;
    bool firstFrame = false;
    std::uint32_t completedLength = 0;
    OutStream* underlying;
};

// Frame header: a big-endian 16-bit word, bit 15 set on the last frame of a message, bits 14..0
// the payload length (at most 32766 when written).
class OutStreamV4 : public FramedOutStream {
public:
    static constexpr int MaxFrameSize = 0x7FFE;
    static constexpr int HeaderSize = 2;

    explicit OutStreamV4(OutStream* underlying = nullptr)
        : FramedOutStream(underlying, MaxFrameSize, HeaderSize) {}

protected:
    void writeHeader(int payloadLength, bool lastFrame, bool firstFrame) override;
};

} // namespace rdr
