// The rules between pixel values and colours on the 0 to 255 scale, which every translation
// table reproduces.
#pragma once

#include <rfb/ColourMap.h>
#include <rfb/PixelFormat.h>

#include <cstdint>

namespace rfb {

// pixel is the value as read from memory in the host's byte order; big-endian 16- and 32-bit
// formats are swapped first. A colour-map format without a map, or an index beyond the map, is
// black.
void pixelToRgb(const PixelFormat& pf, std::uint32_t pixel, Rgb& rgb,
                const ColourMap* colourMap = nullptr);
// The pixel to store (host order) for the colour; alpha stays 0.
std::uint32_t rgbToPixel(const PixelFormat& pf, const Rgb& rgb,
                         const ColourMap* colourMap = nullptr);

// One channel value (at most max) on the 0 to 255 scale, and back.
inline std::uint32_t channelTo255(std::uint32_t value, std::uint32_t max) {
    return max == 0 ? 0 : (value * 255 + max / 2) / max;
}
inline std::uint32_t channelFrom255(std::uint32_t c, std::uint32_t max) {
    return ((c > 255 ? 255 : c) * max + 127) / 255;
}

// The colour as the true-colour format pf can hold it: each channel reduced to pf's maxima and
// scaled back.
Rgb quantise(const PixelFormat& pf, const Rgb& rgb);

} // namespace rfb
