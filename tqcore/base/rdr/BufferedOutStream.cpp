// Growth, draining and flushing of buffered output streams.
#include <rdr/BufferedOutStream.h>

#include <rdr/Exception.h>
#include <rdr/MaxOutBufferSize.h>
#include <rdr/traceDump.h>

#include <plat/Exception.h>

#include <algorithm>
#include <climits>

namespace rdr {

namespace {

constexpr int DefaultBufferSize = 16384;
constexpr int MaxWindowFreeBytes = 16384;
constexpr int DefaultWriteTimeoutMs = 30000;
constexpr int NullStreamBufferSize = 1024;

} // namespace

BufferedOutStream::BufferedOutStream(int bufferSize, int maxBufferSize)
    : size(bufferSize < 0 ? DefaultBufferSize : bufferSize),
      maximum(std::max(maxBufferSize < 0 ? maxOutBufferSize().getValue() : maxBufferSize, size)),
      writeTimeoutMs(DefaultWriteTimeoutMs),
      buffer(size > 0 ? new std::uint8_t[std::size_t(size)] : nullptr), sent(buffer.get()) {
    ptr = buffer.get();
    end = ptr + std::min(size, MaxWindowFreeBytes);
}

BufferedOutStream::~BufferedOutStream() = default;

bool BufferedOutStream::writeSome(bool wait) {
    if (sent == ptr)
        return false;
    int count = writeData(sent, int(ptr - sent), wait);
    if (count <= 0)
        return false;
    if (trace)
        traceDump(TraceLabelOut, sent, count);
    sent += count;
    return true;
}

int BufferedOutStream::writePending(bool wait) {
    std::uint8_t* before = sent;
    while (writeSome(wait)) {
    }
    return int(sent - before);
}

void BufferedOutStream::restartAtBufferStart() {
    flushed += std::uint32_t(ptr - buffer.get());
    ptr = sent = buffer.get();
}

void BufferedOutStream::moveToFront(std::uint8_t* newStart) {
    std::size_t pending = std::size_t(ptr - sent);
    flushed += std::uint32_t(sent - buffer.get());
    std::memmove(newStart, sent, pending);
    sent = newStart;
    ptr = newStart + pending;
}

void BufferedOutStream::grow() {
    int newSize = int(std::min(std::int64_t(maximum), 2 * std::int64_t(size)));
    std::unique_ptr<std::uint8_t[]> grown(new std::uint8_t[std::size_t(newSize)]);
    moveToFront(grown.get());
    buffer = std::move(grown);
    size = newSize;
}

void BufferedOutStream::setWindow(int itemSize) {
    std::int64_t used = ptr - buffer.get();
    // An item larger than the usual window must still fit as a whole.
    std::int64_t freeBytes = std::max(MaxWindowFreeBytes, itemSize);
    end = buffer.get() + std::min(used + freeBytes, std::int64_t(size));
}

int BufferedOutStream::overrun(int itemSize, int nItems) {
    if (size == 0)
        throw OutStreamFull();
    if (itemSize > maximum)
        throw plat::Exception("BufferedOutStream overrun: buffer size exceeded");
    writePending(false);
    if (sent == ptr)
        restartAtBufferStart();
    while (size - bufferedBytes() < itemSize) {
        if (size < maximum)
            grow();
        else if (!writeSome(true))
            throw plat::Exception("BufferedOutStream overrun: unable to write");
    }
    if (sent != buffer.get())
        moveToFront(buffer.get());
    setWindow(itemSize);
    return std::min(nItems, int(end - ptr) / itemSize);
}

bool BufferedOutStream::flush() {
    while (sent != ptr) {
        if (!writeSome(blocking))
            return false;
    }
    restartAtBufferStart();
    setWindow(1);
    return true;
}

bool BufferedOutStream::tryFlush(bool wait) {
    writePending(wait);
    return sent == ptr;
}

BufferedNBOutStream::BufferedNBOutStream(int bufferSize)
    : BufferedOutStream(bufferSize < 0 ? DefaultBufferSize : bufferSize,
                        bufferSize < 0 ? DefaultBufferSize : bufferSize) {}

int BufferedNBOutStream::spaceLeft() {
    return INT_MAX;
}

BufferedLazyOutStream::BufferedLazyOutStream(int bufferSize, int maxBufferSize)
    : BufferedOutStream(bufferSize, maxBufferSize) {}

void BufferedLazyOutStream::setLazy(bool lazy) {
    setBlocking(!lazy);
    tryFlush(!lazy);
}

NullOutStream::NullOutStream() : BufferedNBOutStream(NullStreamBufferSize) {}

void NullOutStream::writeBytes(const void*, int length) {
    if (length > 0)
        addFlushed(length);
}

int NullOutStream::writeData(const std::uint8_t*, int length, bool) {
    return length;
}

} // namespace rdr
