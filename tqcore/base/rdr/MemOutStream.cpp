// Growth, size limit and hand-over of the memory output stream's buffer.
#include <rdr/MemOutStream.h>

#include <rdr/Exception.h>

#include <plat/secureMemory.h>

#include <algorithm>
#include <climits>

namespace rdr {

namespace {

constexpr int DefaultInitialSize = 256;

} // namespace

MemOutStream::MemOutStream(int initialSize, int maxSize) : maximum(maxSize > 0 ? maxSize : 0) {
    allocated = initialSize < 0 ? DefaultInitialSize : initialSize;
    if (allocated > 0)
        start = new std::uint8_t[std::size_t(allocated)];
    ptr = start;
    setEnd();
}

MemOutStream::~MemOutStream() {
    delete[] start;
}

void MemOutStream::setEnd() {
    int usable = maximum > 0 ? std::min(allocated, maximum) : allocated;
    // A maximum lowered below what was written must not move end before ptr.
    end = std::max(start + usable, ptr);
}

void MemOutStream::setMaxSize(int maxSize) {
    maximum = maxSize > 0 ? maxSize : 0;
    setEnd();
}

int MemOutStream::spaceLeft() {
    if (maximum == 0)
        return INT_MAX;
    return std::max(0, maximum - length());
}

int MemOutStream::overrun(int itemSize, int nItems) {
    std::int64_t used = ptr - start;
    std::int64_t limit = maximum > 0 ? maximum : INT_MAX;
    if (used + itemSize > limit)
        throw OutStreamFull();
    std::int64_t wanted =
        std::max(used + std::int64_t(itemSize) * nItems, 2 * std::int64_t(allocated));
    int newSize = int(std::min(wanted, limit));
    std::uint8_t* grown = new std::uint8_t[std::size_t(newSize)];
    if (used > 0)
        std::memcpy(grown, start, std::size_t(used));
    delete[] start;
    start = grown;
    allocated = newSize;
    ptr = start + used;
    setEnd();
    return nItems;
}

void MemOutStream::release() {
    delete[] start;
    start = ptr = end = nullptr;
    allocated = 0;
}

int MemOutStream::takeBuffer(plat::MBuf<unsigned char>& into) {
    int written = length();
    into.assign(start, std::uint32_t(written));
    // A caller that wipes its copy holds secrets: ours must not linger on the heap.
    if (into.wipe() && written > 0)
        plat::secureWipe(start, std::size_t(written));
    release();
    return written;
}

void MemOutStream::terminate() {
    if (ptr > start && ptr[-1] == '\0')
        return;
    if (maximum > 0 && length() >= maximum)
        setMaxSize(length() + 1);
    writeU8(0);
}

void MemOutStream::takeCString(plat::DString& into) {
    terminate();
    into.assign(reinterpret_cast<const char*>(start));
    release();
}

} // namespace rdr
