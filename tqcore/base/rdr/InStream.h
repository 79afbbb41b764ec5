// The abstract input stream: a window of bytes between ptr and end that readers consume inline,
// refilled by the subclass through overrun() only when it runs dry.
#pragma once

#include <plat/DString.h>
#include <plat/NonCopyable.h>

#include <cstdint>
#include <cstring>

namespace rdr {

class InStream : plat::NonCopyable {
public:
    InStream() = default;
    virtual ~InStream() = default;

    // Bytes consumed from the start of the stream up to ptr.
    virtual int pos() const = 0;
    virtual void setCheckpoint();
    virtual void rewind();
    // Moves to an absolute position at or after the checkpoint.
    virtual const std::uint8_t* reposition(int position);
    virtual bool atEnd() { return false; }

    // Makes at least one unread byte available, asking the subclass for n. A rewindable stream
    // that cannot get data returns to its checkpoint before reporting it.
    bool check(int n, bool throwOnBlock);

    int nUnread() const { return int(end - ptr); }
    int advance(int n);
    void setPtr(const std::uint8_t* p);
    const std::uint8_t* getPtr() const { return ptr; }
    const std::uint8_t* getEnd() const { return end; }

    std::uint8_t readU8() {
        if (ptr == end)
            check(1, true);
        return *ptr++;
    }
    std::uint16_t readU16() {
        if (end - ptr < 2)
            return std::uint16_t(readSlow(2));
        std::uint16_t value;
        std::memcpy(&value, ptr, 2);
        ptr += 2;
        return __builtin_bswap16(value);
    }
    std::uint32_t readU32() {
        if (end - ptr < 4)
            return std::uint32_t(readSlow(4));
        std::uint32_t value;
        std::memcpy(&value, ptr, 4);
        ptr += 4;
        return __builtin_bswap32(value);
    }
    std::uint64_t readU64() {
        if (end - ptr < 8)
            return readSlow(8);
        std::uint64_t value;
        std::memcpy(&value, ptr, 8);
        ptr += 8;
        return __builtin_bswap64(value);
    }
    std::int8_t readS8() { return std::int8_t(readU8()); }
    std::int16_t readS16() { return std::int16_t(readU16()); }
    std::int32_t readS32() { return std::int32_t(readU32()); }
    std::int64_t readS64() { return std::int64_t(readU64()); }

    void skip(int n);

    // Returns a pointer to n bytes: into the window when they are contiguous there, otherwise
    // to buffer, into which they were copied across refills.
    const void* readBytes(void* buffer, int n);
    // Always copies the n bytes into buffer.
    void readBytesInto(void* buffer, int n);

    // A pointer to as many whole items (at most *nItems) as the window holds, or to buffer
    // holding one item copied across refills; *nItems tells how many.
    const void* getItems(void* buffer, int itemSize, int* nItems);
    // As getItems, but null instead of copying when not even one item is in the window.
    const void* getItemsNoCopy(int itemSize, int* nItems, bool throwOnBlock);

    // Length-prefixed and fixed-length strings; validate repairs the text to valid UTF-8.
    plat::DString readString32(int maxLength, bool validate);
    plat::DString readString8(bool validate);
    plat::DString readFixedString(int length, bool validate);

    // Reads one line, dropping CR and ending at LF or at the end of the data. Returns false when
    // validate had to repair the text.
    bool readLine(plat::DString& line, int maxLength = 0, bool* hasNul = nullptr,
                  bool validate = false);

    // A uniform integer below n (n = 0: any 32-bit value) from a stream of random bytes.
    std::uint32_t readRandom(std::uint32_t n);

protected:
    // Makes at least min(n, room) unread bytes available; false when no data can be had now.
    virtual bool overrun(int n) = 0;

    // For subclasses whose window lies in a buffer of their own: moves the bytes from the
    // checkpoint on to the buffer's start, so that a refill has room behind them, and returns how
    // many bytes were dropped in front of the checkpoint.
    std::uint32_t moveWindowTo(std::uint8_t* bufferStart);

    const std::uint8_t* ptr = nullptr;
    const std::uint8_t* end = nullptr;
    const std::uint8_t* checkpointPtr = nullptr;
    std::int32_t checkpointPos = 0;
    bool rewindable = true;

private:
    std::uint64_t readSlow(int width);
    void copyAcrossRefills(std::uint8_t* buffer, int n);
};

} // namespace rdr
