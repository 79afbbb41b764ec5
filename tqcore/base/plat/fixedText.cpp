// Bounded appends and copies into fixed-size text buffers.
#include <plat/fixedText.h>

#include <cstdio>
#include <cstring>

namespace plat {

namespace {

bool isContinuationByte(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1; // a stray continuation byte or an invalid lead stands for itself
}

} // namespace

std::size_t trimIncompleteUtf8(char* text, std::size_t length) {
    std::size_t start = length;
    while (start > 0 && length - start < 4 &&
           isContinuationByte(static_cast<unsigned char>(text[start - 1])))
        --start;
    if (start == 0)
        return length;
    std::size_t lead = start - 1;
    if (lead + sequenceLength(static_cast<unsigned char>(text[lead])) > length) {
        text[lead] = '\0';
        return lead;
    }
    return length;
}

bool boundedAppend(char* dst, std::size_t capacity, const char* src, long maxLen) {
    if (capacity == 0 || src == nullptr)
        return src == nullptr;
    std::size_t used = strnlen(dst, capacity - 1);
    std::size_t wanted = maxLen < 0 ? std::strlen(src) : strnlen(src, std::size_t(maxLen));
    std::size_t room = capacity - 1 - used;
    std::size_t count = wanted < room ? wanted : room;
    std::memcpy(dst + used, src, count);
    dst[used + count] = '\0';
    if (count == wanted)
        return true;
    trimIncompleteUtf8(dst, used + count);
    return false;
}

bool boundedAppendf(char* dst, std::size_t capacity, const char* format, va_list args) {
    if (capacity == 0)
        return false;
    std::size_t used = strnlen(dst, capacity - 1);
    int written = std::vsnprintf(dst + used, capacity - used, format, args);
    if (written < 0) {
        dst[used] = '\0';
        return false;
    }
    if (std::size_t(written) < capacity - used)
        return true;
    trimIncompleteUtf8(dst, capacity - 1);
    return false;
}

bool boundedAppendf(char* dst, std::size_t capacity, const char* format, ...) {
    va_list args;
    va_start(args, format);
    bool complete = boundedAppendf(dst, capacity, format, args);
    va_end(args);
    return complete;
}

std::size_t boundedCopy(char* dst, const char* src, std::size_t capacity) {
    std::size_t length = safeStrlen(src);
    if (capacity > 0) {
        std::size_t count = length < capacity - 1 ? length : capacity - 1;
        if (count > 0)
            std::memcpy(dst, src, count);
        dst[count] = '\0';
    }
    return length;
}

std::size_t safeStrlen(const char* text) {
    return text ? std::strlen(text) : 0;
}

std::size_t safeStrnlen(const char* text, std::size_t maxLen) {
    return text ? strnlen(text, maxLen) : 0;
}

char* strDup(const char* text, long maxLen) {
    if (text == nullptr)
        return nullptr;
    std::size_t length = maxLen < 0 ? std::strlen(text) : strnlen(text, std::size_t(maxLen));
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

} // namespace plat
