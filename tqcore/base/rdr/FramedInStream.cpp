// Frame-by-frame reading of messages, with checkpoints that cover the frame state so that a
// blocked read can be retried from the start of the message.
#include <rdr/FramedInStream.h>

#include <rdr/Exception.h>

#include <plat/Exception.h>

#include <algorithm>

namespace rdr {

namespace {

constexpr std::uint16_t LastFrameBit = 0x8000;
constexpr std::uint16_t FrameSizeMask = 0x7FFF;

} // namespace

// Recomputes the window on every way out of a refill, exceptions included, so that the
// stream stays consistent with its underlying stream.
class FramedInStream::WindowGuard {
public:
    explicit WindowGuard(FramedInStream& stream) : stream(stream) {}
    ~WindowGuard() { stream.updateWindow(); }
    WindowGuard(const WindowGuard&) = delete;
    WindowGuard& operator=(const WindowGuard&) = delete;

private:
    FramedInStream& stream;
};

FramedInStream::FramedInStream(InStream* underlying) : underlying(underlying) {}

void FramedInStream::setUnderlying(InStream* in) {
    inMsg_ = false;
    underlying = in;
    ptr = end = nullptr;
}

void FramedInStream::updateWindow() {
    if (!inMsg_) {
        ptr = end = nullptr;
        return;
    }
    ptr = underlying->getPtr();
    end = ptr + std::min(std::ptrdiff_t(frameSize), underlying->getEnd() - ptr);
    PLAT_ASSERT(end >= ptr);
}

void FramedInStream::settle() {
    if (!inMsg_)
        return;
    std::ptrdiff_t consumed = ptr - underlying->getPtr();
    frameSize -= std::int32_t(consumed);
    PLAT_ASSERT(frameSize >= 0);
    msgPos += std::uint32_t(consumed);
    underlying->setPtr(ptr);
}

bool FramedInStream::underlyingHasData(int n) {
    return underlying->nUnread() >= n || underlying->check(n, false);
}

bool FramedInStream::startMsg(bool wait) {
    if (inMsg_)
        return true;
    PLAT_ASSERT(underlying);
    if (!wait && !underlyingHasData(1))
        return false;
    try {
        readHeader(frameSize, lastFrame, true);
    } catch (BlockException&) {
        if (wait)
            throw;
        return false;
    }
    inMsg_ = true;
    updateWindow();
    setCheckpoint();
    return true;
}

bool FramedInStream::nextFrame(bool throwOnBlock) {
    while (!lastFrame && frameSize == 0) {
        if (underlying->nUnread() == 0 && !underlying->check(1, throwOnBlock))
            return false;
        readHeader(frameSize, lastFrame, false);
    }
    return true;
}

bool FramedInStream::overrun(int n) {
    PLAT_ASSERT(inMsg_);
    WindowGuard guard(*this);
    settle();
    if (frameSize >= n)
        return underlyingHasData(n);
    if (ptr != end)
        return true;
    if (!nextFrame(false))
        return false;
    if (frameSize != 0)
        return underlyingHasData(1);
    throw EndOfMsg();
}

bool FramedInStream::atEnd() {
    PLAT_ASSERT(inMsg_);
    try {
        WindowGuard guard(*this);
        settle();
        nextFrame(true);
    } catch (BlockException&) {
        rewind();
        throw;
    }
    return frameSize == 0;
}

void FramedInStream::endMsg() {
    if (!atEnd())
        throw FrameException("FramedInStream::endMsg: data left in msg");
    setCheckpoint();
    inMsg_ = false;
    updateWindow();
}

template <typename Consume>
void FramedInStream::consumeRest(Consume consume) {
    while (!atEnd()) {
        if (ptr == end)
            check(1, true);
        consume(ptr, nUnread());
        ptr = end;
        setCheckpoint();
    }
}

void FramedInStream::skipMsg() {
    consumeRest([](const std::uint8_t*, int) {});
}

void FramedInStream::copyMsgTo(OutStream& out) {
    consumeRest([&out](const std::uint8_t* bytes, int length) { out.writeBytes(bytes, length); });
}

int FramedInStream::pos() const {
    std::uint32_t position = msgPos;
    if (inMsg_)
        position += std::uint32_t(ptr - underlying->getPtr());
    return int(position);
}

void FramedInStream::setCheckpoint() {
    if (inMsg_) {
        settle();
        underlying->setCheckpoint();
    }
    InStream::setCheckpoint();
    savedLastFrame = lastFrame;
    savedFrameSize = frameSize;
    savedMsgPos = msgPos;
}

void FramedInStream::rewind() {
    if (!inMsg_)
        return;
    try {
        underlying->rewind();
    } catch (...) {
        updateWindow();
        throw;
    }
    lastFrame = savedLastFrame;
    frameSize = savedFrameSize;
    msgPos = savedMsgPos;
    updateWindow();
}

void InStreamV4::readHeader(std::int32_t& frameSize, bool& lastFrame, bool) {
    std::uint16_t header = underlying->readU16();
    lastFrame = (header & LastFrameBit) != 0;
    frameSize = header & FrameSizeMask;
}

} // namespace rdr
