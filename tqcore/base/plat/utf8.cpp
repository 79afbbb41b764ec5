// The strict UTF-8 codec and the conversions built on it.
#include <plat/utf8.h>

#include <plat/Exception.h>
#include <plat/TextBuilder.h>
#include <plat/fixedText.h>

#include <cstdint>
#include <cstring>
#include <cwchar>

namespace plat {

namespace {

constexpr char ReplacementUtf8[] = "\xEF\xBF\xBD";
constexpr int EuroSign = 0x20AC;
constexpr unsigned char Latin1EuroByte = 0x80;

bool isContinuationByte(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The continuation bytes a lead byte announces, or -1 for a byte that cannot start a sequence.
int announcedContinuations(unsigned char lead) {
    if (lead < 0x80)
        return 0;
    if ((lead & 0xE0) == 0xC0)
        return 1;
    if ((lead & 0xF0) == 0xE0)
        return 2;
    if ((lead & 0xF8) == 0xF0)
        return 3;
    return -1;
}

int shortestEncodingLength(int codePoint) {
    if (codePoint < 0x80)
        return 1;
    if (codePoint < 0x800)
        return 2;
    if (codePoint < 0x10000)
        return 3;
    return 4;
}

bool isPermittedCodePoint(int codePoint) {
    if (codePoint > 0x10FFFF)
        return false;
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF)
        return false;
    if (codePoint >= 0xFDD0 && codePoint <= 0xFDEF)
        return false;
    return (codePoint & 0xFFFE) != 0xFFFE;
}

// A null end means the text runs to its NUL; decodeUtf8 never reads past a NUL by itself.
std::size_t bytesLeft(const char* position, const char* end) {
    return end ? std::size_t(end - position) : SIZE_MAX;
}

bool atTextEnd(const char* position, const char* end) {
    return end ? position >= end : *position == '\0';
}

const char* endOfInput(const char* text, int length) {
    return text + (length < 0 ? std::strlen(text) : strnlen(text, std::size_t(length)));
}

} // namespace

int decodeUtf8(const char* text, std::size_t available, int& sequenceLength) {
    PLAT_ASSERT(available > 0);
    auto bytes = reinterpret_cast<const unsigned char*>(text);
    sequenceLength = 1;
    int continuations = announcedContinuations(bytes[0]);
    if (continuations == 0)
        return bytes[0];
    if (continuations < 0)
        return -1;
    int codePoint = bytes[0] & (0x3F >> continuations);
    for (int i = 1; i <= continuations; ++i) {
        if (std::size_t(i) >= available || !isContinuationByte(bytes[i]))
            return -1;
        codePoint = (codePoint << 6) | (bytes[i] & 0x3F);
        sequenceLength = i + 1;
    }
    if (shortestEncodingLength(codePoint) != sequenceLength || !isPermittedCodePoint(codePoint))
        return -1;
    return codePoint;
}

int encodeUtf8(int codePoint, char (&out)[MaxUtf8SequenceLength]) {
    if (codePoint < 0 || codePoint > 0x10FFFF)
        throw Exception("Unicode out of range");
    static constexpr unsigned char leadMarks[] = {0x00, 0x00, 0xC0, 0xE0, 0xF0};
    int length = shortestEncodingLength(codePoint);
    for (int i = length - 1; i > 0; --i) {
        out[i] = char(0x80 | (codePoint & 0x3F));
        codePoint >>= 6;
    }
    out[0] = char(leadMarks[length] | codePoint);
    return length;
}

bool isValidUtf8(const char* begin, const char* end) {
    if (begin == nullptr)
        return true;
    for (const char* position = begin; !atTextEnd(position, end);) {
        int length;
        if (decodeUtf8(position, bytesLeft(position, end), length) < 0)
            return false;
        position += length;
    }
    return true;
}

DString sanitiseUtf8(const char* begin, const char* end, int maxBytes) {
    DString result;
    if (begin == nullptr)
        return result;
    TextBuilder builder(result);
    for (const char* position = begin; !atTextEnd(position, end) && *position != '\0';) {
        int length;
        bool valid = decodeUtf8(position, bytesLeft(position, end), length) >= 0;
        const char* piece = valid ? position : ReplacementUtf8;
        int pieceLength = valid ? length : int(sizeof ReplacementUtf8 - 1);
        if (maxBytes >= 0 && pieceLength > maxBytes - builder.length())
            break;
        builder.append(piece, pieceLength);
        position += length;
    }
    return result;
}

void clipToCharacters(const char* text, int& start, int& length) {
    PLAT_ASSERT(start >= 0 && safeStrnlen(text, std::size_t(start)) == std::size_t(start));
    const char* rest = text + start;
    int available = int(length < 0 ? std::strlen(rest) : strnlen(rest, std::size_t(length)));
    length = available;
    while (isContinuationByte(static_cast<unsigned char>(text[start]))) {
        ++start;
        if (length > 0)
            --length;
    }
    while (isContinuationByte(static_cast<unsigned char>(text[start + length])))
        ++length;
}

int displayWidth(const char* begin, const char* end) {
    if (begin == nullptr)
        return 0;
    int width = 0;
    for (const char* position = begin; !atTextEnd(position, end) && *position != '\0';) {
        int length;
        int codePoint = decodeUtf8(position, bytesLeft(position, end), length);
        if (codePoint < 0)
            break;
        int columns = wcwidth(wchar_t(codePoint));
        width += columns < 0 ? 1 : columns;
        position += length;
    }
    return width;
}

DString utf8ToLatin1(const char* text, int length) {
    DString result;
    if (text == nullptr)
        return result;
    const char* end = endOfInput(text, length);
    TextBuilder builder(result);
    for (const char* position = text; position < end;) {
        int sequenceLength;
        int codePoint = decodeUtf8(position, std::size_t(end - position), sequenceLength);
        if (codePoint < 0) {
            bool cutOffByEnd =
                position + sequenceLength == end &&
                announcedContinuations(static_cast<unsigned char>(*position)) >= sequenceLength;
            for (int i = 0; cutOffByEnd && i < sequenceLength; ++i)
                builder.append('?');
            break;
        }
        if (codePoint == EuroSign)
            builder.append(char(Latin1EuroByte));
        else
            builder.append(codePoint < 256 ? char(codePoint) : '?');
        position += sequenceLength;
    }
    return result;
}

DString latin1ToUtf8(const char* text, int length) {
    DString result;
    if (text == nullptr)
        return result;
    const char* end = endOfInput(text, length);
    TextBuilder builder(result);
    for (const char* position = text; position < end; ++position) {
        auto byte = static_cast<unsigned char>(*position);
        char encoded[MaxUtf8SequenceLength];
        int count = encodeUtf8(byte == Latin1EuroByte ? EuroSign : byte, encoded);
        builder.append(encoded, count);
    }
    return result;
}

} // namespace plat
