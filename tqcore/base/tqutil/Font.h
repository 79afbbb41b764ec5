// A bitmap font: measuring, word wrapping, alignment, truncation with an ellipsis and drawing of
// UTF-8 text into pixel buffers. Subclasses supply the glyphs.
#pragma once

#include <rfb/Rect.h>

#include <cstdint>
#include <vector>

namespace rfb {
class WritablePixelBuffer;
}

namespace tqutil {

class Font {
public:
    static constexpr std::uint32_t Ellipsis = 0x2026;

    // A line of wrapped text: the bytes from begin to end (a line feed that ended it is left out)
    // and their width in pixels.
    struct Line {
        const char* begin;
        const char* end;
        int width;
    };
    struct WrappedText {
        std::vector<Line> lines;
        int width = 0; // the widest line
    };

    // Text is UTF-8 (an invalid sequence counts as code point 0xFFFFFFFF); a null end means that it
    // runs to its NUL, and a NUL ends it in any case. Positions are the top-left corner of the line
    // box; colours are pixel values of the buffer's format. Alignments are 0 (left or top), 1
    // (centre) and 2 (right or bottom).
    virtual void drawChar(rfb::WritablePixelBuffer* pb, std::uint32_t codePoint, rfb::Point pos,
                          std::uint32_t colour) const = 0;
    virtual void drawText(rfb::WritablePixelBuffer* pb, const char* text, rfb::Point pos,
                          std::uint32_t colour, const char* end = nullptr) const;
    // Word-wrapped to the rectangle's width and aligned in it; returns the block drawn.
    virtual rfb::Rect drawTextInRect(rfb::WritablePixelBuffer* pb, const char* text,
                                     const rfb::Rect& rect, std::uint32_t colour, int hAlign,
                                     int vAlign) const;
    // One line, shortened to fit with a trailing U+2026 when it is too wide.
    virtual void drawTextTruncated(rfb::WritablePixelBuffer* pb, const char* text,
                                   const rfb::Rect& rect, std::uint32_t colour, int hAlign,
                                   int vAlign, const char* end = nullptr) const;
    virtual int charAdvance(std::uint32_t codePoint) const = 0;
    virtual int textWidth(const char* text, const char* end = nullptr) const;
    // The first character at which the running width would exceed maxWidth; the end (or the
    // NUL) when everything fits.
    virtual const char* fitText(const char* text, int maxWidth, const char* end = nullptr) const;
    // The character boundary nearest to x: before a character when x reaches at most half into
    // it. Past the whole text: its end (or its NUL).
    virtual const char* charAtX(int x, const char* text, const char* end = nullptr) const;
    virtual ~Font();

    // Breaks at the first character of a word that follows white space (tab, line feed, carriage
    // return, space) when the line would grow wider than maxWidth, and at every line feed. A word
    // longer than a line overflows it. maxWidth below 1 means no limit.
    WrappedText wrapText(const char* text, int maxWidth) const;

    int height() const { return lineHeight; }
    int ascent() const { return ascentPixels; }

protected:
    Font() = default;

    int lineHeight = 0;
    int ascentPixels = 0;
};

} // namespace tqutil
