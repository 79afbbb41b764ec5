// A bitmap font read from a BDF file (the text form pcf2bdf writes): its vertical metrics, its
// default character and its encoded glyphs.
#pragma once

#include <cstdint>
#include <istream>
#include <map>
#include <string>
#include <vector>

namespace fontgen {

struct BdfGlyph {
    int advance = 0; // DWIDTH
    int width = 0;   // BBX
    int height = 0;
    int xOffset = 0; // from the pen position
    int yOffset = 0; // of the bitmap's bottom row above the baseline
    // Rows top to bottom, each (width + 7) / 8 bytes, most significant bit leftmost.
    std::vector<std::uint8_t> bitmap;
};

class BdfFont {
public:
    // Throws std::runtime_error naming the line for anything it cannot read.
    static BdfFont read(std::istream& in, const std::string& name);

    int ascent = 0;
    int descent = 0;
    int defaultChar = 0;
    std::map<std::uint32_t, BdfGlyph> glyphs; // by code point; unencoded glyphs are left out

    const BdfGlyph& defaultGlyph() const;
    // Code points with the low 7 bits cleared that at least one glyph falls in, ascending.
    std::vector<std::uint32_t> pages() const;
};

} // namespace fontgen
