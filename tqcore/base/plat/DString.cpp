// Growth and editing of owned text buffers.
#include <plat/DString.h>

#include <plat/Exception.h>
#include <plat/TextBuilder.h>
#include <plat/fixedText.h>
#include <plat/utf8.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <unistd.h>
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

// Running out of memory while growing a string leaves no sound way to continue; the heap may be
// too exhausted even for an exception's clean-up.
[[noreturn]] void outOfMemory() {
    static constexpr char message[] = "DString: out of memory\n";
    ssize_t ignored = ::write(STDERR_FILENO, message, sizeof message - 1);
    (void)ignored;
    std::abort();
}

char* allocate(int capacity) {
    char* memory = new (std::nothrow) char[std::size_t(capacity)];
    if (memory == nullptr)
        outOfMemory();
    return memory;
}

} // namespace

DString::DString(const char* text, int maxLen) {
    append(text, maxLen);
}

DString::DString(const DString& other) : bufferCapacity(other.bufferCapacity) {
    if (other.buffer) {
        buffer = allocate(bufferCapacity);
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

DString::~DString() {
    delete[] buffer;
}

int DString::length() const {
    return buffer ? int(std::strlen(buffer)) : 0;
}

void DString::reserve(int n) {
    if (buffer && bufferCapacity >= n)
        return;
    int newCapacity = roundUpToPowerOfTwo(n);
    char* newBuffer = allocate(newCapacity);
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
    std::size_t wanted = maxLen < 0 ? std::strlen(text) : strnlen(text, std::size_t(maxLen));
    int used = length();
    PLAT_ASSERT(wanted < std::size_t(INT_MAX - used));
    int count = int(wanted);
    if (buffer && text >= buffer && text < buffer + bufferCapacity) {
        DString copy(text, count);
        return append(copy.get(), count);
    }
    reserve(used + count + 1);
    std::memcpy(buffer + used, text, std::size_t(count));
    buffer[used + count] = '\0';
    return *this;
}

DString& DString::appendChar(char c) {
    return append(&c, 1);
}

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

DString& DString::appendRepeat(int codePoint, int count) {
    char encoded[MaxUtf8SequenceLength];
    int length = encodeUtf8(codePoint, encoded);
    TextBuilder out(*this);
    for (int i = 0; i < count; ++i)
        out.append(encoded, length);
    return *this;
}

DString& DString::replaceAll(const char* text, const char* needle, const char* replacement) {
    int findLen = int(safeStrlen(needle));
    PLAT_ASSERT(findLen);
    if (text == nullptr)
        return *this;
    // Built apart: text may point into this very buffer.
    DString replaced;
    TextBuilder out(replaced);
    for (const char* found; (found = std::strstr(text, needle)) != nullptr;
         text = found + findLen) {
        out.append(text, int(found - text));
        out.append(replacement ? replacement : "");
    }
    out.append(text);
    return append(replaced);
}

DString& DString::makeValidUtf8() {
    if (buffer && !isValidUtf8(buffer))
        *this = sanitiseUtf8(buffer);
    return *this;
}

DString& DString::wrap(int width, int indent) {
    if (buffer == nullptr)
        return *this;
    DString wrapped;
    TextBuilder out(wrapped);
    int column = 0;
    int pendingSpaces = 0;
    for (const char* c = buffer; *c != '\0';) {
        if (*c == ' ') {
            ++pendingSpaces;
            ++c;
            continue;
        }
        if (*c == '\n') {
            // The blanks before a line feed are dropped.
            out.append('\n');
            column = 0;
            pendingSpaces = 0;
            ++c;
            continue;
        }
        const char* wordEnd = c + std::strcspn(c, " \n");
        int wordWidth = displayWidth(c, wordEnd);
        bool fits = column == 0 || column + pendingSpaces + wordWidth <= width;
        if (!fits) {
            out.append('\n');
            pendingSpaces = indent;
            column = 0;
        }
        for (int i = 0; i < pendingSpaces; ++i)
            out.append(' ');
        column += pendingSpaces + wordWidth;
        pendingSpaces = 0;
        out.append(c, int(wordEnd - c));
        c = wordEnd;
    }
    return *this = std::move(wrapped);
}

} // namespace plat
