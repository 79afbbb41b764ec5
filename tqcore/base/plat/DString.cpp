// Growth and editing of owned text buffers.
#include <plat/DString.h>

#include <plat/Exception.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

namespace plat {

namespace {

constexpr int MinimumCapacity = 8;

int roundUpToPowerOfTwo(int n) {
    int capacity = MinimumCapacity;
    while (capacity < n) {
        PLAT_ASSERT(capacity <= (1 << 29));
        capacity *= 2;
    }
    return capacity;
}

} // namespace

DString::DString(const char* text, int maxLen) { append(text, maxLen); }

DString::DString(const DString& other) : bufferCapacity(other.bufferCapacity) {
    if (other.buffer) {
        buffer = new char[bufferCapacity];
        std::memcpy(buffer, other.buffer, std::strlen(other.buffer) + 1);
    }
}

DString::DString(DString&& other) noexcept
    : buffer(std::exchange(other.buffer, nullptr)),
      bufferCapacity(std::exchange(other.bufferCapacity, 0)) {}

DString& DString::operator=(const DString& other) {
    if (this != &other) {
        DString copy(other);
        *this = std::move(copy);
    }
    return *this;
}

DString& DString::operator=(DString&& other) noexcept {
    if (this != &other) {
        delete[] buffer;
        buffer = std::exchange(other.buffer, nullptr);
        bufferCapacity = std::exchange(other.bufferCapacity, 0);
    }
    return *this;
}

DString::~DString() { delete[] buffer; }

int DString::length() const { return buffer ? int(std::strlen(buffer)) : 0; }

void DString::reserve(int n) {
    if (buffer && bufferCapacity >= n)
        return;
    int newCapacity = roundUpToPowerOfTwo(n);
    char* newBuffer = new char[newCapacity];
    if (buffer)
        std::memcpy(newBuffer, buffer, std::strlen(buffer) + 1);
    else
        newBuffer[0] = '\0';
    if (n > 0)
        newBuffer[n - 1] = '\0';
    delete[] buffer;
    buffer = newBuffer;
    bufferCapacity = newCapacity;
}

void DString::clear() {
    reserve(1);
    buffer[0] = '\0';
}

void DString::reset() {
    delete[] buffer;
    buffer = nullptr;
    bufferCapacity = 0;
}

char* DString::release() {
    bufferCapacity = 0;
    return std::exchange(buffer, nullptr);
}

DString& DString::assign(const char* text, int maxLen) {
    if (text == nullptr) {
        reset();
        return *this;
    }
    if (text >= buffer && text < buffer + bufferCapacity) {
        DString copy(text, maxLen);
        return *this = std::move(copy);
    }
    clear();
    return append(text, maxLen);
}

DString& DString::append(const char* text, int maxLen) {
    if (text == nullptr)
        return *this;
    int count = maxLen < 0 ? int(std::strlen(text)) : int(strnlen(text, std::size_t(maxLen)));
    int used = length();
    if (buffer && text >= buffer && text < buffer + bufferCapacity) {
        DString copy(text, count);
        return append(copy.get(), count);
    }
    reserve(used + count + 1);
    std::memcpy(buffer + used, text, std::size_t(count));
    buffer[used + count] = '\0';
    return *this;
}

DString& DString::appendChar(char c) { return append(&c, 1); }

DString& DString::appendV(const char* format, va_list args) {
    int used = length();
    va_list measure;
    va_copy(measure, args);
    int needed = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (needed < 0) {
        reserve(used + 1);
        return *this;
    }
    // Formatted separately: an argument may point into this very buffer.
    std::unique_ptr<char[]> formatted(new char[std::size_t(needed) + 1]);
    std::vsnprintf(formatted.get(), std::size_t(needed) + 1, format, args);
    return append(formatted.get(), needed);
}

DString& DString::appendf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    appendV(format, args);
    va_end(args);
    return *this;
}

DString& DString::format(const char* format, ...) {
    DString result;
    result.clear();
    va_list args;
    va_start(args, format);
    result.appendV(format, args);
    va_end(args);
    return *this = std::move(result);
}

DString& DString::replace(int start, int end, const char* text, int len) {
    int used = length();
    if (start < 0 || start > end || end > used)
        return *this;
    DString result(buffer, start);
    if (result.isNull())
        result.clear();
    result.append(text, len);
    result.append(buffer + end);
    return *this = std::move(result);
}

void DString::truncate(int newLength) {
    if (buffer && newLength >= 0 && newLength < length())
        buffer[newLength] = '\0';
}

} // namespace plat
