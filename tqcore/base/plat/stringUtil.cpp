// Small text utilities shared across the foundation.
#include <plat/stringUtil.h>

#include <plat/TextBuilder.h>
#include <plat/fixedText.h>

#include <cstring>
#include <utility>

namespace plat {

namespace {

constexpr std::uint64_t FnvOffsetBasis = 0xcbf29ce484222325ULL;
constexpr std::uint64_t FnvPrime = 0x100000001b3ULL;

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}
char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

bool equalNoCase(const char* first, const char* second, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (asciiLower(first[i]) != asciiLower(second[i]))
            return false;
    }
    return true;
}

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

bool isWhitespace(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

bool startsWith(const char* text, const char* prefix) {
    std::size_t length = safeStrlen(prefix);
    return length == 0 || (text && std::strncmp(text, prefix, length) == 0);
}

bool startsWithNoCase(const char* text, const char* prefix) {
    std::size_t length = safeStrlen(prefix);
    return length == 0 ||
           (safeStrnlen(text, length) == length && equalNoCase(text, prefix, length));
}

bool endsWith(const char* text, const char* suffix) {
    std::size_t suffixLength = safeStrlen(suffix);
    std::size_t textLength = safeStrlen(text);
    return suffixLength == 0 ||
           (textLength >= suffixLength &&
            std::memcmp(text + textLength - suffixLength, suffix, suffixLength) == 0);
}

bool endsWithNoCase(const char* text, const char* suffix) {
    std::size_t suffixLength = safeStrlen(suffix);
    std::size_t textLength = safeStrlen(text);
    return suffixLength == 0 ||
           (textLength >= suffixLength &&
            equalNoCase(text + textLength - suffixLength, suffix, suffixLength));
}

int compareNoCase(const char* first, const char* second) {
    first = first ? first : "";
    second = second ? second : "";
    for (;; ++first, ++second) {
        unsigned char a = static_cast<unsigned char>(asciiLower(*first));
        unsigned char b = static_cast<unsigned char>(asciiLower(*second));
        if (a != b || a == '\0')
            return int(a) - int(b);
    }
}

bool equalsNoCase(const char* first, const char* second) {
    return compareNoCase(first, second) == 0;
}

const char* findNoCase(const char* haystack, const char* needle) {
    std::size_t needleLength = safeStrlen(needle);
    if (needleLength == 0 || haystack == nullptr)
        return haystack;
    for (const char* start = haystack; *start != '\0'; ++start) {
        if (startsWithNoCase(start, needle))
            return start;
    }
    return nullptr;
}

bool containsCharBefore(const char* start, const char* end, char c) {
    if (start == nullptr)
        return false;
    for (const char* position = start; position < end; ++position) {
        if (*position == c)
            return true;
        if (*position == '\0')
            return false;
    }
    return false;
}

void removeChars(char* text, const char* set) {
    if (text == nullptr || set == nullptr || *set == '\0')
        return;
    char* out = text;
    for (const char* in = text; *in != '\0'; ++in) {
        if (std::strchr(set, *in) == nullptr)
            *out++ = *in;
    }
    *out = '\0';
}

bool hasNonSpace(const char* text) {
    for (; text && *text != '\0'; ++text) {
        if (!isWhitespace(*text))
            return true;
    }
    return false;
}

void trimLeft(char* text) {
    if (text == nullptr)
        return;
    std::size_t skip = 0;
    while (text[skip] != '\0' && isWhitespace(text[skip]))
        ++skip;
    if (skip > 0)
        std::memmove(text, text + skip, std::strlen(text + skip) + 1);
}

void trimRight(char* text) {
    std::size_t length = safeStrlen(text);
    while (length > 0 && isWhitespace(text[length - 1]))
        --length;
    if (text)
        text[length] = '\0';
}

void insertEvery(DString& text, char separator, int n) {
    if (n < 1 || text.isNull())
        return;
    DString grouped;
    TextBuilder out(grouped);
    int characters = 0;
    for (const char* c = text.get(); *c != '\0'; ++c) {
        if (!isContinuationByte(*c)) {
            if (characters > 0 && characters % n == 0)
                out.append(separator);
            ++characters;
        }
        out.append(*c);
    }
    text = std::move(grouped);
}

void toUpper(char* text) {
    for (; text && *text != '\0'; ++text)
        *text = asciiUpper(*text);
}

void toLower(char* text) {
    for (; text && *text != '\0'; ++text)
        *text = asciiLower(*text);
}

std::uint64_t fnv1aHash(const void* data, std::size_t length) {
    auto bytes = static_cast<const unsigned char*>(data);
    std::uint64_t hash = FnvOffsetBasis;
    for (std::size_t i = 0; i < length; ++i) {
        hash ^= bytes[i];
        hash *= FnvPrime;
    }
    return hash;
}

std::uint64_t fnv1aHash(const char* text) {
    return fnv1aHash(text, safeStrlen(text));
}

} // namespace plat
