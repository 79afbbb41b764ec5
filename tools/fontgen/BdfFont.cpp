// Reads the subset of BDF 2.1 that bitmap fonts converted from PCF use.
#include "BdfFont.h"

#include <set>
#include <sstream>
#include <stdexcept>

namespace fontgen {

namespace {

class LineReader {
public:
    LineReader(std::istream& in, const std::string& name) : in(in), name(name) {}

    // False at the end of the file.
    bool next(std::string& keyword, std::istringstream& rest) {
        std::string line;
        while (std::getline(in, line)) {
            ++number;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty())
                continue;
            rest.clear();
            rest.str(line);
            rest >> keyword;
            return true;
        }
        return false;
    }

    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error(name + ":" + std::to_string(number) + ": " + what);
    }

private:
    std::istream& in;
    std::string name;
    int number = 0;
};

std::uint8_t hexByte(const std::string& row, std::size_t at) {
    return std::uint8_t(std::stoul(row.substr(at, 2), nullptr, 16));
}

// Reads from after STARTCHAR up to ENDCHAR; returns the encoding (-1: unencoded).
long readGlyph(LineReader& lines, BdfGlyph& glyph) {
    long encoding = -1;
    std::string keyword;
    std::istringstream rest;
    while (lines.next(keyword, rest)) {
        if (keyword == "ENCODING") {
            rest >> encoding;
        } else if (keyword == "DWIDTH") {
            rest >> glyph.advance;
        } else if (keyword == "BBX") {
            rest >> glyph.width >> glyph.height >> glyph.xOffset >> glyph.yOffset;
        } else if (keyword == "BITMAP") {
            std::size_t rowBytes = std::size_t(glyph.width + 7) / 8;
            for (int y = 0; y < glyph.height; ++y) {
                if (!lines.next(keyword, rest) || keyword.size() < rowBytes * 2)
                    lines.fail("short bitmap row");
                for (std::size_t i = 0; i < rowBytes; ++i)
                    glyph.bitmap.push_back(hexByte(keyword, i * 2));
            }
        } else if (keyword == "ENDCHAR") {
            if (glyph.width < 0 || glyph.height < 0 || glyph.width > 255 || glyph.height > 255)
                lines.fail("bitmap size out of range");
            if (glyph.bitmap.size() != std::size_t(glyph.width + 7) / 8 * std::size_t(glyph.height))
                lines.fail("glyph without its bitmap");
            return encoding;
        }
        if (rest.fail())
            lines.fail("bad " + keyword + " line");
    }
    lines.fail("file ends inside a glyph");
}

} // namespace

BdfFont BdfFont::read(std::istream& in, const std::string& name) {
    BdfFont font;
    LineReader lines(in, name);
    std::string keyword;
    std::istringstream rest;
    bool haveAscent = false, haveDescent = false;
    while (lines.next(keyword, rest)) {
        if (keyword == "FONT_ASCENT") {
            rest >> font.ascent;
            haveAscent = true;
        } else if (keyword == "FONT_DESCENT") {
            rest >> font.descent;
            haveDescent = true;
        } else if (keyword == "DEFAULT_CHAR") {
            rest >> font.defaultChar;
        } else if (keyword == "STARTCHAR") {
            BdfGlyph glyph;
            long encoding = readGlyph(lines, glyph);
            if (encoding >= 0 && encoding <= 0x10FFFF)
                font.glyphs[std::uint32_t(encoding)] = std::move(glyph);
        }
        if (rest.fail())
            lines.fail("bad " + keyword + " line");
    }
    if (!haveAscent || !haveDescent)
        lines.fail("no FONT_ASCENT or FONT_DESCENT");
    if (!font.glyphs.count(std::uint32_t(font.defaultChar)))
        lines.fail("the default character has no glyph");
    return font;
}

const BdfGlyph& BdfFont::defaultGlyph() const {
    return glyphs.at(std::uint32_t(defaultChar));
}

std::vector<std::uint32_t> BdfFont::pages() const {
    std::set<std::uint32_t> keys;
    for (const auto& entry : glyphs)
        keys.insert(entry.first & ~0x7Fu);
    return {keys.begin(), keys.end()};
}

} // namespace fontgen
