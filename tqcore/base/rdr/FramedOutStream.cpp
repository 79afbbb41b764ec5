// Opening, closing and header writing of output frames.
#include <rdr/FramedOutStream.h>

#include <rdr/Exception.h>

#include <plat/Exception.h>

#include <algorithm>

namespace rdr {

namespace {

constexpr std::uint16_t LastFrameBit = 0x8000;

} // namespace

FramedOutStream::FramedOutStream(OutStream* underlying, int maxFrameSize, int hdrSize)
    : maxFrameSize(maxFrameSize), hdrSize(hdrSize), underlying(underlying) {}

void FramedOutStream::setUnderlying(OutStream* out) {
    inMessage = inFrame = firstFrame = false;
    underlying = out;
    ptr = end = nullptr;
}

void FramedOutStream::collapseWindow() {
    ptr = end = underlying->getPtr();
}

void FramedOutStream::startMsg() {
    if (inMessage)
        throw FrameException("FramedOutStream::startMsg: already in msg");
    PLAT_ASSERT(underlying);
    inMessage = true;
    firstFrame = true;
    if (!inFrame)
        startFrame(1);
}

void FramedOutStream::startFrame(int minSize) {
    PLAT_ASSERT(!inFrame);
    underlying->makeRoom(hdrSize + minSize);
    // A destination that cannot offer a whole header and item at once is as good as full.
    if (underlying->getEnd() - underlying->getPtr() < hdrSize + minSize)
        throw OutStreamFull();
    ptr = underlying->getPtr() + hdrSize;
    end = ptr + std::min(std::ptrdiff_t(maxFrameSize), underlying->getEnd() - ptr);
    inFrame = true;
}

void FramedOutStream::endFrame(bool lastFrame) {
    if (!inFrame)
        throw FrameException("FramedOutStream::endFrame: not in frame");
    inFrame = false;
    std::uint8_t* frameStart = underlying->getPtr();
    int payload = int(ptr - frameStart - hdrSize);
    if (payload == 0 && !lastFrame) {
        collapseWindow();
        return;
    }
    ptr = frameStart;
    end = underlying->getEnd();
    if (end - ptr < hdrSize)
        throw FrameException("FramedOutStream::endFrame: no space for header");
    writeHeader(payload, lastFrame, firstFrame);
    PLAT_ASSERT(ptr == underlying->getPtr() + hdrSize);
    completedLength += std::uint32_t(payload);
    underlying->setPtr(frameStart + hdrSize + payload);
    firstFrame = false;
    collapseWindow();
}

void FramedOutStream::endMsg(bool flushUnderlying) {
    if (!inFrame)
        throw FrameException("FramedOutStream::endMsg: not in frame");
    endFrame(true);
    inMessage = false;
    if (flushUnderlying) {
        underlying->flush();
        collapseWindow();
    }
}

int FramedOutStream::overrun(int itemSize, int nItems) {
    endFrame(false);
    startFrame(itemSize);
    return std::min(nItems, int(end - ptr) / itemSize);
}

bool FramedOutStream::flush() {
    if (inMessage && inFrame)
        endFrame(false);
    bool done = underlying->flush();
    if (inMessage)
        startFrame(1);
    else
        collapseWindow();
    return done;
}

int FramedOutStream::length() {
    int open = inMessage && inFrame ? int(ptr - underlying->getPtr() - hdrSize) : 0;
    return int(completedLength) + open;
}

OutStream* FramedOutStream::innermost() {
    return underlying->innermost();
}

int FramedOutStream::spaceLeft() {
    return std::max(0, underlying->spaceLeft() - hdrSize);
}

bool FramedOutStream::shutdown() {
    return underlying->shutdown();
}

void OutStreamV4::writeHeader(int payloadLength, bool lastFrame, bool) {
    std::uint16_t header = std::uint16_t(payloadLength) | (lastFrame ? LastFrameBit : 0);
    ptr[0] = std::uint8_t(header >> 8);
    ptr[1] = std::uint8_t(header);
    ptr += HeaderSize;
}

} // namespace rdr
