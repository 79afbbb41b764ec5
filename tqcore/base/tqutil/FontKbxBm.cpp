// Parsing and drawing of the built-in bitmap font format. Every glyph's bitmap is checked to lie
// within the data at load time, so drawing never needs to check again.
#include <tqutil/FontKbxBm.h>

#include <plat/Exception.h>
#include <rdr/InStream.h>
#include <rfb/WritablePixelBuffer.h>
#include <tqutil/nextCodePoint.h>

#include <algorithm>
#include <climits>

namespace tqutil {

namespace {

[[noreturn]] void badFontData() {
    throw plat::Exception("Bad font data");
}

} // namespace

FontKbxBm::FontKbxBm(rdr::InStream& in) {
    if (in.readU32() != Magic)
        badFontData();
    int ascent = in.readU16();
    int descent = in.readU16();
    ascentPixels = ascent;
    lineHeight = ascent + descent;
    int extraPages = in.readU16();
    if (extraPages > MaxExtraPages)
        badFontData();

    std::vector<std::uint32_t> keys(static_cast<std::size_t>(extraPages));
    std::uint32_t highestKey = 0;
    for (std::uint32_t& key : keys) {
        key = in.readU32();
        if (key % 128 != 0 || key > MaxPageKey)
            badFontData();
        highestKey = std::max(highestKey, key);
    }
    pagePositions.assign(extraPages ? (highestKey >> 7) + 1 : 0, 0);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        std::uint16_t& position = pagePositions[keys[i] >> 7];
        if (position == 0)
            position = std::uint16_t(i + 1);
    }

    // 64-bit ends: an offset near 2^32 must not wrap round to a small one.
    std::uint64_t bitmapEnd = 0;
    glyphs.resize(std::size_t(extraPages + 1) * 128);
    for (Glyph& g : glyphs) {
        g.offset = in.readU32();
        g.advance = in.readU16();
        g.xOffset = in.readS8();
        g.yOffset = in.readS8();
        g.width = in.readU8();
        g.height = in.readU8();
        std::uint64_t end = std::uint64_t(g.offset) + std::uint64_t((g.width + 7) / 8) * g.height;
        bitmapEnd = std::max(bitmapEnd, end);
        if (bitmapEnd > MaxBitmapBytes)
            badFontData();
    }
    bitmapData = plat::MBuf<std::uint8_t>(std::uint32_t(bitmapEnd));
    if (bitmapEnd > 0)
        in.readBytesInto(bitmapData.data(), int(bitmapEnd));
}

void FontKbxBm::drawChar(rfb::WritablePixelBuffer* pb, std::uint32_t codePoint, rfb::Point pos,
                         std::uint32_t colour) const {
    const Glyph& g = glyph(codePoint);
    if (g.width == 0 || g.height == 0)
        return;
    // Coordinates beyond the 32-bit range cannot be inside any buffer.
    std::int64_t left = std::int64_t(pos.x) + g.xOffset;
    std::int64_t top = std::int64_t(pos.y) + g.yOffset;
    if (left < INT_MIN || top < INT_MIN || left + g.width > INT_MAX || top + g.height > INT_MAX)
        return;
    pb->maskRect(rfb::Rect::fromXYWH(int(left), int(top), g.width, g.height), colour, bitmap(g),
                 (g.width + 7) / 8, 0);
}

int FontKbxBm::textWidth(const char* text, const char* end) const {
    // The same walk as Font's, without a virtual call per character.
    std::int64_t width = 0;
    const char* p = text;
    while (!(end && p >= end)) {
        std::uint32_t c = nextCodePoint(p, end);
        if (c == 0)
            break;
        width += glyph(c).advance;
    }
    return int(std::min<std::int64_t>(width, INT_MAX));
}

} // namespace tqutil
