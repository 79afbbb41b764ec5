// The built-in bitmap fonts' own file format: a header with the line metrics and the code-point
// pages present, a record per glyph, and 1-bit glyph bitmaps.
#pragma once

#include <tqutil/Font.h>

#include <plat/MBuf.h>

#include <cstdint>
#include <vector>

namespace rdr {
class InStream;
}

namespace tqutil {

class FontKbxBm : public Font {
public:
    static constexpr std::uint32_t Magic = 0x7CCF0C72;
    static constexpr int MaxExtraPages = 1023;
    static constexpr std::uint32_t MaxBitmapBytes = 0x400000;
    // The highest page key a code point (at most U+10FFFF) can have.
    static constexpr std::uint32_t MaxPageKey = 0x10FF80;

    struct Glyph {
        std::uint32_t offset; // into the bitmap data
        std::uint16_t advance;
        std::int8_t xOffset; // from the pen position
        std::int8_t yOffset; // from the top of the line box
        std::uint8_t width;
        std::uint8_t height;
    };

    // Parses the whole font. Throws plat::Exception "Bad font data" for a wrong magic number, more
    // than 1023 extra pages, a page key that is not a multiple of 128 or lies above U+10FF80, or
    // bitmaps reaching beyond 4 MiB; a stream that ends early raises its own end-of-stream error.
    explicit FontKbxBm(rdr::InStream& in);

    void drawChar(rfb::WritablePixelBuffer* pb, std::uint32_t codePoint, rfb::Point pos,
                  std::uint32_t colour) const override;
    int charAdvance(std::uint32_t codePoint) const override { return glyph(codePoint).advance; }
    int textWidth(const char* text, const char* end = nullptr) const override;

    // Code points whose page the font lacks get glyph 0.
    const Glyph& glyph(std::uint32_t codePoint) const { return glyphs[glyphIndex(codePoint)]; }
    std::uint32_t glyphIndex(std::uint32_t codePoint) const {
        if (codePoint < 128)
            return codePoint;
        std::uint32_t page = codePoint >> 7;
        std::uint32_t position = page < pagePositions.size() ? pagePositions[page] : 0;
        return position == 0 ? 0 : position * 128 + (codePoint & 127);
    }
    // The glyph's rows, (width + 7) / 8 bytes each; all of them lie in the bitmap data.
    const std::uint8_t* bitmap(const Glyph& g) const { return bitmapData.data() + g.offset; }
    std::size_t glyphCount() const { return glyphs.size(); }
    std::uint32_t bitmapBytes() const { return bitmapData.length(); }

private:
    std::vector<Glyph> glyphs;
    // For each page number (code point >> 7) up to the highest key, the page's position in the
    // key list (0: absent). Where a key repeats, its first position counts.
    std::vector<std::uint16_t> pagePositions;
    plat::MBuf<std::uint8_t> bitmapData;
};

} // namespace tqutil
