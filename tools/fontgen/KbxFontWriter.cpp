// Writes the bitmap font format; identical bitmaps are stored once and shared by their records.
#include "KbxFontWriter.h"

#include <stdexcept>
#include <zlib.h>

namespace fontgen {

namespace {

constexpr std::uint32_t Magic = 0x7CCF0C72;
constexpr std::size_t MaxExtraPages = 1023;

void putU8(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(std::uint8_t(value));
}
void putU16(std::vector<std::uint8_t>& out, unsigned value) {
    putU8(out, value >> 8);
    putU8(out, value);
}
void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    putU16(out, value >> 16);
    putU16(out, value & 0xFFFF);
}

void checkRange(int value, int low, int high, const char* field) {
    if (value < low || value > high)
        throw std::runtime_error(std::string("glyph ") + field + " " + std::to_string(value) +
                                 " does not fit its record field");
}

} // namespace

KbxFontWriter::KbxFontWriter(int ascent, int descent, const BdfGlyph& defaultGlyph)
    : ascent(ascent), descent(descent), defaultGlyph(defaultGlyph) {
    checkRange(ascent, 0, 0xFFFF, "ascent");
    checkRange(descent, 0, 0xFFFF, "descent");
}

void KbxFontWriter::addPage(std::uint32_t key, const BdfFont& font) {
    if (key % 128 != 0)
        throw std::runtime_error("page key " + std::to_string(key) + " is not a multiple of 128");
    pages[key] = &font;
}

void KbxFontWriter::appendGlyph(std::vector<std::uint8_t>& records,
                                std::vector<std::uint8_t>& bitmaps,
                                std::map<std::vector<std::uint8_t>, std::uint32_t>& offsets,
                                const BdfGlyph& glyph) const {
    auto [found, added] = offsets.try_emplace(glyph.bitmap, std::uint32_t(bitmaps.size()));
    if (added)
        bitmaps.insert(bitmaps.end(), glyph.bitmap.begin(), glyph.bitmap.end());
    int yOffset = ascent - (glyph.yOffset + glyph.height);
    checkRange(glyph.advance, 0, 0xFFFF, "advance");
    checkRange(glyph.xOffset, -128, 127, "x offset");
    checkRange(yOffset, -128, 127, "y offset");
    putU32(records, found->second);
    putU16(records, unsigned(glyph.advance));
    putU8(records, unsigned(glyph.xOffset));
    putU8(records, unsigned(yOffset));
    putU8(records, unsigned(glyph.width));
    putU8(records, unsigned(glyph.height));
}

std::vector<std::uint8_t> KbxFontWriter::bytes() const {
    std::vector<std::uint32_t> extraKeys;
    for (const auto& page : pages)
        if (page.first != 0)
            extraKeys.push_back(page.first);
    if (extraKeys.size() > MaxExtraPages)
        throw std::runtime_error("more than 1023 extra pages");

    std::vector<std::uint8_t> out;
    putU32(out, Magic);
    putU16(out, unsigned(ascent));
    putU16(out, unsigned(descent));
    putU16(out, unsigned(extraKeys.size()));
    for (std::uint32_t key : extraKeys)
        putU32(out, key);

    std::vector<std::uint8_t> bitmaps;
    std::map<std::vector<std::uint8_t>, std::uint32_t> offsets;
    std::vector<std::uint32_t> keys{0};
    keys.insert(keys.end(), extraKeys.begin(), extraKeys.end());
    for (std::uint32_t key : keys) {
        auto page = pages.find(key);
        for (std::uint32_t codePoint = key; codePoint < key + 128; ++codePoint) {
            const BdfGlyph* glyph = &defaultGlyph;
            if (codePoint != 0 && page != pages.end()) {
                auto found = page->second->glyphs.find(codePoint);
                if (found != page->second->glyphs.end())
                    glyph = &found->second;
            }
            appendGlyph(out, bitmaps, offsets, *glyph);
        }
    }
    out.insert(out.end(), bitmaps.begin(), bitmaps.end());
    return out;
}

std::vector<std::uint8_t> gzipBytes(const std::vector<std::uint8_t>& data) {
    z_stream zs{};
    // Window bits 15 + 16 ask for a gzip wrapper; without deflateSetHeader zlib writes a header
    // with no name and a zero time.
    if (deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    std::vector<std::uint8_t> out(deflateBound(&zs, uLong(data.size())));
    zs.next_in = const_cast<Bytef*>(data.data());
    zs.avail_in = uInt(data.size());
    zs.next_out = out.data();
    zs.avail_out = uInt(out.size());
    int result = deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    if (result != Z_STREAM_END)
        throw std::runtime_error("deflate failed");
    return out;
}

} // namespace fontgen
