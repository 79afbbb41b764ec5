// Measuring, wrapping and drawing shared by every bitmap font. Widths are summed in 64 bits and
// clamped, so that no text, however long, overflows them.
#include <tqutil/Font.h>

#include <tqutil/nextCodePoint.h>

#include <algorithm>
#include <climits>
#include <cstddef>

namespace tqutil {

namespace {

inline bool atEnd(const char* p, const char* end) {
    return end && p >= end;
}

bool isWhiteSpace(std::uint32_t c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
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
        pos.x = clampWidth(std::int64_t(pos.x) + charAdvance(c));
    }
}

int Font::textWidth(const char* text, const char* end) const {
    std::int64_t width = 0;
    const char* p = text;
    while (!atEnd(p, end)) {
        std::uint32_t c = nextCodePoint(p, end);
        if (c == 0)
            break;
        width += charAdvance(c);
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
        width += charAdvance(c);
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
        int advance = charAdvance(c);
        if (advance > remaining)
            return remaining * 2 <= advance ? character : p;
        remaining -= advance;
    }
    return p;
}

Font::WrappedText Font::wrapText(const char* text, int maxWidth) const {
    WrappedText result;
    auto emit = [&result](const char* begin, const char* lineEnd, std::int64_t width) {
        result.lines.push_back(Line{begin, lineEnd, clampWidth(width)});
        result.width = std::max(result.width, clampWidth(width));
    };
    const char* lineStart = text;
    std::int64_t width = 0;
    const char* candidate = nullptr; // where the line may break, with the width before it
    std::int64_t candidateWidth = 0;
    bool afterWhiteSpace = false;
    const char* p = text;
    for (;;) {
        const char* character = p;
        std::uint32_t c = nextCodePoint(p, nullptr);
        if (c == 0) {
            emit(lineStart, character, width);
            return result;
        }
        int advance = c == '\n' ? 0 : charAdvance(c);
        if (!isWhiteSpace(c) && afterWhiteSpace && character != lineStart) {
            candidate = character;
            candidateWidth = width;
        }
        afterWhiteSpace = isWhiteSpace(c);
        if (candidate && maxWidth >= 1 && width + advance > maxWidth) {
            emit(lineStart, candidate, candidateWidth);
            lineStart = candidate;
            width -= candidateWidth;
            // A break uses its candidate up: the rest of an overlong word stays on this line.
            candidate = nullptr;
        }
        if (c == '\n') {
            emit(lineStart, character, width);
            lineStart = p;
            width = 0;
            candidate = nullptr;
            afterWhiteSpace = false;
            continue;
        }
        width += advance;
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
