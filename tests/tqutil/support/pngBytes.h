// PNG files built chunk by chunk for tests of damaged and oversized images.
#pragma once

#include <cstdint>
#include <string>

namespace tqutiltest {

// Length, type, data and CRC.
std::string pngChunk(const char* type, const std::string& data);
// Signature, an 8-bit RGB IHDR with the given size, one IDAT holding `rows` zlib-compressed
// (empty: one zero row of the stated width), and IEND.
std::string rgbPng(std::uint32_t width, std::uint32_t height, const std::string& rows = "");

} // namespace tqutiltest
