// Reads messages made of length-prefixed frames from another input stream (not owned). The
// window is the underlying window clipped to the current frame, so payload bytes are never
// copied; consumption is handed back to the underlying stream lazily. InStreamV4 reads the
// 2-byte headers that OutStreamV4 writes.
#pragma once

#include <rdr/InStream.h>
#include <rdr/OutStream.h>

namespace rdr {

class FramedInStream : public InStream {
public:
    explicit FramedInStream(InStream* underlying);

    void setUnderlying(InStream* in);
    // Begins the next message; false when its first header cannot be had without waiting.
    bool startMsg(bool wait);
    bool inMsg() const { return inMsg_; }
    // Ends a message that has nothing left; raises FrameException otherwise.
    void endMsg();
    // Consumes the rest of the message.
    void skipMsg();
    // Writes the rest of the message to out, consuming it.
    void copyMsgTo(OutStream& out);

    // Whether the message has no unread byte left.
    bool atEnd() override;
    int pos() const override;
    void setCheckpoint() override;
    void rewind() override;

protected:
    bool overrun(int n) override;
    // Reads one frame header from the underlying stream.
    virtual void readHeader(std::int32_t& frameSize, bool& lastFrame, bool firstFrame) = 0;

    InStream* underlying;

private:
    class WindowGuard;

    void settle();
    void updateWindow();
    bool nextFrame(bool throwOnBlock);
    bool underlyingHasData(int n);
    template <typename Consume>
    void consumeRest(Consume consume);

    bool inMsg_ = false;
    bool lastFrame = false;
    bool savedLastFrame = false;
    std::int32_t frameSize = 0;
    std::int32_t savedFrameSize = 0;
    std::uint32_t msgPos = 0;
    std::uint32_t savedMsgPos = 0;
};

class InStreamV4 : public FramedInStream {
public:
    explicit InStreamV4(InStream* underlying = nullptr) : FramedInStream(underlying) {}

protected:
    void readHeader(std::int32_t& frameSize, bool& lastFrame, bool firstFrame) override;
};

} // namespace rdr
