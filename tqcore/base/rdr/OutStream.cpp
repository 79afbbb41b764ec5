// The out-of-line writers of the abstract output stream.
#include <rdr/OutStream.h>

#include <plat/Exception.h>

#include <algorithm>

namespace rdr {

namespace {

constexpr int MaxString8Length = 255;

} // namespace

void OutStream::writeBytes(const void* data, int length) {
    const std::uint8_t* bytes = static_cast<const std::uint8_t*>(data);
    while (length > 0) {
        if (ptr == end)
            overrun(1, length);
        int count = std::min(length, int(end - ptr));
        std::memcpy(ptr, bytes, std::size_t(count));
        ptr += count;
        bytes += count;
        length -= count;
    }
}

int OutStream::bufferedBytes() {
    OutStream* destination = innermost();
    return destination == this ? 0 : destination->bufferedBytes();
}

void OutStream::writeString32(const char* text, int maxLength) {
    std::uint32_t length = 0;
    if (text && maxLength > 0)
        length = std::uint32_t(strnlen(text, std::size_t(maxLength)));
    else if (text && maxLength < 0)
        length = std::uint32_t(std::strlen(text));
    writeU32(length);
    writeBytes(text, int(length));
}

void OutStream::writeString8(const char* text) {
    int length = text ? int(strnlen(text, MaxString8Length)) : 0;
    writeU8(std::uint8_t(length));
    writeBytes(text, length);
}

void OutStream::pad(int n) {
    while (n > 0) {
        if (ptr == end)
            overrun(1, n);
        int count = std::min(n, int(end - ptr));
        ptr += count;
        n -= count;
    }
}

void OutStream::setPtr(std::uint8_t* p) {
    PLAT_ASSERT(p >= ptr && p <= end);
    ptr = p;
}

} // namespace rdr
