// Measuring, wrapping and drawing shared by every bitmap font. Widths are summed in 64 bits and
// clamped, so that no text, however long, overflows them.
#include <tqutil/Font.h>

#include <tqutil/nextCodePoint.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>

namespace tqutil {

namespace {

inline bool atEnd(const char* p, const char* end) {
    return end && p >= end;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

constexpr std::uint64_t Ones = 0x0101010101010101, Highs = 0x8080808080808080;

// The high bit of each byte of y that is zero.
constexpr std::uint64_t zeroBytes(std::uint64_t y) {
    return ~(((y & ~Highs) + ~Highs) | y) & Highs;
}

// Whether any of the eight bytes at p is a NUL, a line feed or part of a multi-byte sequence.
bool hasSpecialByte(const char* p) {
    std::uint64_t bytes;
    std::memcpy(&bytes, p, 8);
    return ((bytes & Highs) | zeroBytes(bytes) | zeroBytes(bytes ^ (Ones * '\n'))) != 0;
}

// The last first character of a word after white space in (from, p], or null.
const char* lastWordStart(const char* from, const char* p) {
    for (const char* q = p; q > from; --q)
        if (isBlank(q[-1]) && !isBlank(q[0]))
            return q;
    return nullptr;
}

int clampWidth(std::int64_t width) {
    return int(std::clamp<std::int64_t>(width, INT_MIN, INT_MAX));
}

int clampAlignment(int alignment) {
    return std::clamp(alignment, 0, 2);
}

// Where a block of size `inner` starts in a span of size `outer` starting at `start`.
int alignedStart(int start, int outer, int inner, int alignment) {
    return clampWidth(start + (std::int64_t(outer) - inner) * clampAlignment(alignment) / 2);
}

} // namespace

Font::~Font() = default;

void Font::drawText(rfb::WritablePixelBuffer* pb, const char* text, rfb::Point pos,
                    std::uint32_t colour, const char* end) const {
    const char* p = text;
    while (!atEnd(p, end)) {
        std::uint32_t c = nextCodePoint(p, end);
        if (c == 0)
            break;
        drawChar(pb, c, pos, colour);
        pos.x = clampWidth(std::int64_t(pos.x) + advanceOf(c));
    }
}

void Font::cacheAsciiAdvances() {
    for (std::uint32_t c = 0; c < 128; ++c)
        asciiAdvances[c] = charAdvance(c);
}

int Font::asciiBlockWidth(const char* p) const {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return asciiAdvances[b[0]] + asciiAdvances[b[1]] + asciiAdvances[b[2]] + asciiAdvances[b[3]] +
           asciiAdvances[b[4]] + asciiAdvances[b[5]] + asciiAdvances[b[6]] + asciiAdvances[b[7]];
}

int Font::textWidth(const char* text, const char* end) const {
    if (!end)
        end = text + std::strlen(text);
    std::int64_t width = 0;
    const char* p = text;
    while (p < end) {
        // Eight plain ASCII characters at a time, as long as there are.
        for (; end - p >= 8 && !hasSpecialByte(p); p += 8)
            width += asciiBlockWidth(p);
        if (p >= end)
            break;
        auto lead = static_cast<unsigned char>(*p);
        if (lead == 0)
            break;
        if (lead < 0x80) {
            width += asciiAdvances[lead];
            ++p;
            continue;
        }
        width += charAdvance(nextCodePoint(p, end));
    }
    return clampWidth(width);
}

const char* Font::fitText(const char* text, int maxWidth, const char* end) const {
    std::int64_t width = 0;
    const char* p = text;
    while (!atEnd(p, end)) {
        const char* character = p;
        std::uint32_t c = nextCodePoint(p, end);
        if (c == 0)
            return character;
        width += advanceOf(c);
        if (width > maxWidth)
            return character;
    }
    return p;
}

const char* Font::charAtX(int x, const char* text, const char* end) const {
    std::int64_t remaining = x;
    const char* p = text;
    while (!atEnd(p, end)) {
        const char* character = p;
        std::uint32_t c = nextCodePoint(p, end);
        if (c == 0)
            return character;
        int advance = advanceOf(c);
        if (advance > remaining)
            return remaining * 2 <= advance ? character : p;
        remaining -= advance;
    }
    return p;
}

Font::WrappedText Font::wrapText(const char* text, int maxWidth) const {
    // The break candidate is the last first character of a word that follows white space. It is
    // looked for only when a character would make the line too wide, by scanning back from that
    // character, never past where an earlier scan ended: a break uses its candidate up (the
    // candidate becomes the line's start), so the rest of a word too long for any line
    // overflows its line instead of producing empty ones. Until then, widths are summed eight
    // plain ASCII characters at a time.
    WrappedText result;
    auto emit = [&result](const char* begin, const char* lineEnd, std::int64_t width) {
        int clamped = clampWidth(width);
        result.lines.push_back(Line{begin, lineEnd, clamped});
        result.width = std::max(result.width, clamped);
    };
    const std::int64_t limit = maxWidth >= 1 ? maxWidth : INT64_MAX;
    const char* const end = text + std::strlen(text);
    const char* lineStart = text;
    const char* searched = text; // no candidate lies after lineStart up to here
    std::int64_t width = 0;
    const char* p = text;
    for (;;) {
        const char* slowUntil = p + 1;
        for (; end - p >= 8 && !hasSpecialByte(p); p += 8) {
            std::int64_t blockWidth = asciiBlockWidth(p);
            if (width + blockWidth > limit) {
                slowUntil = p + 8;
                break;
            }
            width += blockWidth;
        }
        while (p < slowUntil) {
            auto c = static_cast<unsigned char>(*p);
            if (c == 0) {
                emit(lineStart, p, width);
                return result;
            }
            if (c == '\n') {
                emit(lineStart, p, width);
                lineStart = searched = ++p;
                width = 0;
                continue;
            }
            const char* next = p + 1;
            std::int64_t advance =
                c < 0x80 ? asciiAdvances[c] : charAdvance(nextCodePoint(next = p, nullptr));
            if (width + advance > limit) {
                const char* candidate = lastWordStart(std::max(lineStart, searched), p);
                searched = p;
                if (candidate) {
                    std::int64_t candidateWidth = width - Font::textWidth(candidate, p);
                    emit(lineStart, candidate, candidateWidth);
                    lineStart = candidate;
                    width -= candidateWidth;
                    slowUntil = next; // the new line has room again
                }
            }
            width += advance;
            p = next;
        }
    }
}

rfb::Rect Font::drawTextInRect(rfb::WritablePixelBuffer* pb, const char* text,
                               const rfb::Rect& rect, std::uint32_t colour, int hAlign,
                               int vAlign) const {
    WrappedText wrapped = wrapText(text, rect.width());
    int blockHeight = clampWidth(std::int64_t(wrapped.lines.size()) * lineHeight);
    int left = alignedStart(rect.tl.x, rect.width(), wrapped.width, hAlign);
    int top = alignedStart(rect.tl.y, rect.height(), blockHeight, vAlign);
    std::int64_t y = top;
    for (const Line& line : wrapped.lines) {
        int x = alignedStart(left, wrapped.width, line.width, hAlign);
        drawText(pb, line.begin, rfb::Point(x, clampWidth(y)), colour, line.end);
        y += lineHeight;
    }
    return rfb::Rect(left, top, clampWidth(std::int64_t(left) + wrapped.width),
                     clampWidth(std::int64_t(top) + blockHeight));
}

void Font::drawTextTruncated(rfb::WritablePixelBuffer* pb, const char* text, const rfb::Rect& rect,
                             std::uint32_t colour, int hAlign, int vAlign, const char* end) const {
    int width = textWidth(text, end);
    const char* shownEnd = end;
    bool truncated = width > rect.width();
    if (truncated) {
        shownEnd =
            fitText(text, clampWidth(std::int64_t(rect.width()) - charAdvance(Ellipsis)), end);
        width = clampWidth(std::int64_t(textWidth(text, shownEnd)) + charAdvance(Ellipsis));
    }
    rfb::Point pos(alignedStart(rect.tl.x, rect.width(), width, hAlign),
                   alignedStart(rect.tl.y, rect.height(), lineHeight, vAlign));
    drawText(pb, text, pos, colour, shownEnd);
    if (truncated) {
        pos.x = clampWidth(std::int64_t(pos.x) + textWidth(text, shownEnd));
        drawChar(pb, Ellipsis, pos, colour);
    }
}

} // namespace tqutil
