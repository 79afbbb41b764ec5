// Test PNG files.
#include "pngBytes.h"

#include <zlib.h>

namespace tqutiltest {

namespace {

std::string bigEndian32(std::uint32_t value) {
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

} // namespace

std::string pngChunk(const char* type, const std::string& data) {
    std::string typeAndData = std::string(type, 4) + data;
    auto crc = std::uint32_t(
        crc32(0, reinterpret_cast<const Bytef*>(typeAndData.data()), uInt(typeAndData.size())));
    return bigEndian32(std::uint32_t(data.size())) + typeAndData + bigEndian32(crc);
}

std::string rgbPng(std::uint32_t width, std::uint32_t height, const std::string& rows) {
    std::string raw = rows.empty() ? std::string(1 + 3 * std::size_t(width % 4096), '\0') : rows;
    std::string packed(compressBound(uLong(raw.size())), '\0');
    uLongf packedSize = uLongf(packed.size());
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
             reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()));
    packed.resize(packedSize);
    std::string header =
        bigEndian32(width) + bigEndian32(height) + std::string("\x08\x02\0\0\0", 5);
    return std::string("\x89PNG\r\n\x1A\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IDAT", packed) + pngChunk("IEND", "");
}

} // namespace tqutiltest
