// Lays out glyphs from BDF fonts in the program's own bitmap font format: header, page keys,
// 10-byte glyph records per page of 128 code points, then the glyph bitmaps.
#pragma once

#include "BdfFont.h"

#include <cstdint>
#include <map>
#include <vector>

namespace fontgen {

class KbxFontWriter {
public:
    // The default glyph stands for code point 0 and for every code point a present page lacks.
    KbxFontWriter(int ascent, int descent, const BdfGlyph& defaultGlyph);

    // The page of 128 code points starting at key (a multiple of 128) comes from font; page 0 is
    // always written, from the default glyph where no font supplies it.
    void addPage(std::uint32_t key, const BdfFont& font);

    // The uncompressed file. Throws std::runtime_error when a glyph's metrics do not fit the
    // record fields.
    std::vector<std::uint8_t> bytes() const;

private:
    void appendGlyph(std::vector<std::uint8_t>& records, std::vector<std::uint8_t>& bitmaps,
                     std::map<std::vector<std::uint8_t>, std::uint32_t>& offsets,
                     const BdfGlyph& glyph) const;

    int ascent;
    int descent;
    const BdfGlyph& defaultGlyph;
    std::map<std::uint32_t, const BdfFont*> pages;
};

// gzip with neither file name nor time stamp, so that the same input gives the same bytes.
std::vector<std::uint8_t> gzipBytes(const std::vector<std::uint8_t>& data);

} // namespace fontgen
