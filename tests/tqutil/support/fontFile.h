// Font files in the built-in font format, built byte by byte for tests, and parsing from memory.
#pragma once

#include <tqutil/FontKbxBm.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tqutiltest {

struct GlyphRecord {
    std::uint32_t offset = 0;
    std::uint16_t advance = 10;
    std::int8_t xOffset = 0;
    std::int8_t yOffset = 0;
    std::uint8_t width = 8;
    std::uint8_t height = 2;
};

// Header, keys, then 128 × (keys + 1) records: records[i] where given, `fill` for the rest, then
// the bitmap bytes.
std::string fontFile(int ascent, int descent, const std::vector<std::uint32_t>& keys,
                     const std::vector<GlyphRecord>& records, const GlyphRecord& fill,
                     const std::string& bitmap);

std::unique_ptr<tqutil::FontKbxBm> parseFont(const std::string& bytes);

// The built-in font, uncompressed.
std::string gunzippedResource(const char* name);

} // namespace tqutiltest
