// An owned buffer of plain values (binary parameter values, decoded hexadecimal) that can be
// wiped: with the wipe flag set, the contents are zeroed before the memory is released or reused.
#pragma once

#include <plat/Exception.h>
#include <plat/secureMemory.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>
#include <utility>

namespace plat {

template <typename T>
class MBuf {
    static_assert(std::is_trivially_copyable_v<T>, "MBuf holds plain values only");

public:
    MBuf() = default;
    // A zero-filled buffer of the given number of elements.
    explicit MBuf(std::uint32_t length, bool wipe = false)
        : bufferLength(length), bytes(length ? new T[length]() : nullptr), wipeFlag(wipe) {}
    MBuf(const T* data, std::uint32_t length, bool wipe = false) : MBuf(length, wipe) {
        if (length)
            std::memcpy(bytes.get(), data, byteCount());
    }
    MBuf(const MBuf& other) : MBuf(other.data(), other.length(), other.wipeFlag) {}
    MBuf(MBuf&& other) noexcept
        : bufferLength(std::exchange(other.bufferLength, 0)), bytes(std::move(other.bytes)),
          wipeFlag(other.wipeFlag) {}
    MBuf& operator=(const MBuf& other) {
        if (this != &other)
            *this = MBuf(other);
        return *this;
    }
    MBuf& operator=(MBuf&& other) noexcept {
        if (this != &other) {
            wipeIfFlagged();
            bufferLength = std::exchange(other.bufferLength, 0);
            bytes = std::move(other.bytes);
            wipeFlag = other.wipeFlag;
        }
        return *this;
    }
    ~MBuf() { wipeIfFlagged(); }

    T* data() { return bytes.get(); }
    const T* data() const { return bytes.get(); }
    std::uint32_t length() const { return bufferLength; }
    bool empty() const { return bufferLength == 0; }
    T& operator[](std::uint32_t index) {
        PLAT_ASSERT(index < bufferLength);
        return bytes[index];
    }
    const T& operator[](std::uint32_t index) const {
        PLAT_ASSERT(index < bufferLength);
        return bytes[index];
    }

    bool wipe() const { return wipeFlag; }
    void setWipe(bool wipe) { wipeFlag = wipe; }

    // Replaces the contents by a copy of length elements (wiping the old ones when flagged).
    void assign(const T* data, std::uint32_t length) {
        MBuf copy(data, length, wipeFlag);
        *this = std::move(copy);
    }
    void reset() { *this = MBuf(0, wipeFlag); }

    bool operator==(const MBuf& other) const {
        return bufferLength == other.bufferLength &&
               (bufferLength == 0 || std::memcmp(data(), other.data(), byteCount()) == 0);
    }

private:
    std::size_t byteCount() const { return std::size_t(bufferLength) * sizeof(T); }
    void wipeIfFlagged() {
        if (wipeFlag && bytes)
            secureWipe(bytes.get(), byteCount());
    }

    std::uint32_t bufferLength = 0;
    std::unique_ptr<T[]> bytes;
    bool wipeFlag = false;
};

} // namespace plat
