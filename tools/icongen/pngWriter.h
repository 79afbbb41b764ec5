// Writes icons as PNG files with libpng: 8-bit RGBA, or an 8-bit palette with transparency.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace icongen {

// rgba: rows top to bottom, 4 bytes per pixel, not premultiplied. Throws std::runtime_error.
void writeRgbaPng(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& rgba);

// The same pixels as a palette image with a tRNS chunk; throws when they need more than 256
// distinct colours.
void writePalettePng(const std::string& path, int width, int height,
                     const std::vector<std::uint8_t>& rgba);

} // namespace icongen
