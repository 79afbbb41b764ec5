// Refilling a buffered input stream from its source, keeping every byte from the checkpoint on.
#include <rdr/BufferedInStream.h>

#include <rdr/traceDump.h>

#include <plat/Exception.h>
#include <plat/secureMemory.h>

#include <algorithm>
#include <utility>

namespace rdr {

namespace {

constexpr int DefaultBufferSize = 16800;

} // namespace

BufferedInStream::BufferedInStream(int bufferSize)
    : bufferSize(bufferSize < 0 ? DefaultBufferSize : bufferSize),
      buffer(new std::uint8_t[std::size_t(this->bufferSize)]) {
    ptr = end = checkpointPtr = buffer.get();
}

BufferedInStream::BufferedInStream(BufferedInStream&& other) noexcept
    : discarded(other.discarded), bufferSize(other.bufferSize), buffer(std::move(other.buffer)),
      wipe(other.wipe), trace(other.trace) {
    ptr = std::exchange(other.ptr, nullptr);
    end = std::exchange(other.end, nullptr);
    checkpointPtr = std::exchange(other.checkpointPtr, nullptr);
    checkpointPos = other.checkpointPos;
    rewindable = other.rewindable;
    other.bufferSize = 0;
}

BufferedInStream::~BufferedInStream() {
    if (wipe && buffer)
        plat::secureWipe(buffer.get(), std::size_t(bufferSize));
}

bool BufferedInStream::overrun(int n) {
    discarded += moveWindowTo(buffer.get());
    int wanted = std::min(n, int(bufferEnd() - ptr));
    while (nUnread() < wanted) {
        int count = readData(writableEnd(), int(bufferEnd() - end));
        if (count <= 0)
            return false;
        if (trace)
            traceDump(TraceLabelIn, end, count);
        end += count;
    }
    return true;
}

void BufferedInStream::writeTo(OutStream& out) {
    out.writeU32(std::uint32_t(nUnread()));
    out.writeBytes(ptr, nUnread());
}

void BufferedInStream::readFrom(InStream& in) {
    std::uint32_t count = in.readU32();
    if (count == 0)
        return;
    if (count > std::uint32_t(bufferEnd() - end))
        throw plat::Exception("Too much data for InStream buffer");
    in.readBytesInto(writableEnd(), int(count));
    end += count;
}

BufferedNonBlockableInStream::BufferedNonBlockableInStream(int bufferSize)
    : BufferedInStream(bufferSize) {
    // A blocking stream never needs to return to a checkpoint; keeping none lets the buffer
    // discard what was consumed, so that long input does not fill it.
    rewindable = false;
}

void BufferedNonBlockableInStream::setNonBlocking(bool enabled) {
    nonBlocking = enabled;
    setCheckpoint();
    if (enabled)
        rewindable = true;
}

} // namespace rdr
