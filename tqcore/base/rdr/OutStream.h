// The abstract output stream: a window between ptr and end that writers fill inline; the
// subclass makes room through overrun() only when the window is full.
#pragma once

#include <plat/NonCopyable.h>

#include <cstdint>
#include <cstring>

namespace rdr {

class OutStream : plat::NonCopyable {
public:
    OutStream() = default;
    virtual ~OutStream() = default;

    virtual void writeBytes(const void* data, int length);
    // Bytes written since the stream was created or last reset.
    virtual int length() = 0;
    // Hands buffered bytes on; false when some had to stay pending.
    virtual bool flush() { return true; }
    // The stream that finally receives the bytes.
    virtual OutStream* innermost() { return this; }
    // Bytes written but not yet handed to the final destination.
    virtual int bufferedBytes();
    virtual int spaceLeft() = 0;
    // Closes the writing direction of the destination where that means something.
    virtual bool shutdown() { return false; }
    virtual void setThrowErrors(bool) {}

    void writeU8(std::uint8_t value) {
        if (ptr == end)
            overrun(1, 1);
        *ptr++ = value;
    }
    void writeU16(std::uint16_t value) {
        if (end - ptr < 2)
            overrun(2, 1);
        value = __builtin_bswap16(value);
        std::memcpy(ptr, &value, 2);
        ptr += 2;
    }
    void writeU32(std::uint32_t value) {
        if (end - ptr < 4)
            overrun(4, 1);
        value = __builtin_bswap32(value);
        std::memcpy(ptr, &value, 4);
        ptr += 4;
    }
    void writeU64(std::uint64_t value) {
        if (end - ptr < 8)
            overrun(8, 1);
        value = __builtin_bswap64(value);
        std::memcpy(ptr, &value, 8);
        ptr += 8;
    }
    void writeS8(std::int8_t value) { writeU8(std::uint8_t(value)); }
    void writeS16(std::int16_t value) { writeU16(std::uint16_t(value)); }
    void writeS32(std::int32_t value) { writeU32(std::uint32_t(value)); }
    void writeS64(std::int64_t value) { writeU64(std::uint64_t(value)); }

    // Writes the length as U32, then the bytes without a NUL. maxLength > 0 counts at most that
    // many bytes, a negative one the whole C string, 0 (or a null text) nothing.
    void writeString32(const char* text, int maxLength = -1);
    // Writes the C-string length capped at 255 as U8, then the bytes.
    void writeString8(const char* text);
    // Moves over n bytes without writing them.
    void pad(int n);

    // Makes the window offer at least n contiguous bytes, for callers that write into it
    // directly; the window may stay smaller when the stream cannot offer that much at once.
    void makeRoom(int n) {
        if (end - ptr < n)
            overrun(n, 1);
    }
    std::uint8_t* getPtr() const { return ptr; }
    std::uint8_t* getEnd() const { return end; }
    void setPtr(std::uint8_t* p);

protected:
    // Makes room for at least one item and returns how many whole items (at most nItems) fit.
    virtual int overrun(int itemSize, int nItems) = 0;

    std::uint8_t* ptr = nullptr;
    std::uint8_t* end = nullptr;
};

} // namespace rdr
