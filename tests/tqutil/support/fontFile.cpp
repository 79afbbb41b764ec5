// Test font files.
#include "fontFile.h"

#include <rdr/MemInStream.h>
#include <tqutil/builtinResources.h>

#include <stdexcept>
#include <zlib.h>

namespace tqutiltest {

namespace {

void put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(char(value >> (8 * i)));
}

} // namespace

std::string fontFile(int ascent, int descent, const std::vector<std::uint32_t>& keys,
                     const std::vector<GlyphRecord>& records, const GlyphRecord& fill,
                     const std::string& bitmap) {
    std::string out;
    put(out, tqutil::FontKbxBm::Magic, 4);
    put(out, std::uint32_t(ascent), 2);
    put(out, std::uint32_t(descent), 2);
    put(out, std::uint32_t(keys.size()), 2);
    for (std::uint32_t key : keys)
        put(out, key, 4);
    for (std::size_t i = 0; i < 128 * (keys.size() + 1); ++i) {
        const GlyphRecord& g = i < records.size() ? records[i] : fill;
        put(out, g.offset, 4);
        put(out, g.advance, 2);
        put(out, std::uint8_t(g.xOffset), 1);
        put(out, std::uint8_t(g.yOffset), 1);
        put(out, g.width, 1);
        put(out, g.height, 1);
    }
    return out + bitmap;
}

std::unique_ptr<tqutil::FontKbxBm> parseFont(const std::string& bytes) {
    rdr::MemInStream in(bytes.data(), int(bytes.size()));
    return std::make_unique<tqutil::FontKbxBm>(in);
}

std::string gunzippedResource(const char* name) {
    auto resource = tqutil::getResource(name);
    if (!resource)
        throw std::runtime_error(std::string("no resource ") + name);
    z_stream zs{};
    inflateInit2(&zs, 15 + 16);
    std::string out(1 << 22, '\0');
    zs.next_in = const_cast<Bytef*>(resource->bytes);
    zs.avail_in = uInt(resource->size);
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = uInt(out.size());
    int result = inflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    inflateEnd(&zs);
    if (result != Z_STREAM_END)
        throw std::runtime_error(std::string("cannot inflate ") + name);
    return out;
}

} // namespace tqutiltest
