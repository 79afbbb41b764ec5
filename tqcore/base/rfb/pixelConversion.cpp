// Conversions between pixel values and colours.
#include <rfb/pixelConversion.h>

#include <algorithm>

namespace rfb {

namespace {

std::uint32_t swapForFormat(const PixelFormat& pf, std::uint32_t pixel) {
    if (!pf.bigEndian)
        return pixel;
    if (pf.bpp == 16)
        return __builtin_bswap16(std::uint16_t(pixel));
    if (pf.bpp == 32)
        return __builtin_bswap32(pixel);
    return pixel;
}

// Shifts of 32 or more move every bit out of a 32-bit pixel.
std::uint32_t extract(std::uint32_t pixel, int shift, std::uint32_t max) {
    return shift >= 32 ? 0 : (pixel >> shift) & max;
}

std::uint32_t place(std::uint32_t value, int shift) {
    return shift >= 32 ? 0 : value << shift;
}

bool allMaxima255(const PixelFormat& pf) {
    return pf.redMax == 255 && pf.greenMax == 255 && pf.blueMax == 255;
}

} // namespace

void pixelToRgb(const PixelFormat& pf, std::uint32_t pixel, Rgb& rgb, const ColourMap* colourMap) {
    if (!pf.trueColour) {
        rgb = Rgb();
        if (colourMap && pixel < std::uint32_t(colourMap->size()))
            colourMap->lookup(int(pixel), rgb);
        return;
    }
    pixel = swapForFormat(pf, pixel);
    std::uint32_t r = extract(pixel, pf.redShift, pf.redMax);
    std::uint32_t g = extract(pixel, pf.greenShift, pf.greenMax);
    std::uint32_t b = extract(pixel, pf.blueShift, pf.blueMax);
    if (allMaxima255(pf)) {
        rgb = Rgb{r, g, b};
        return;
    }
    rgb =
        Rgb{channelTo255(r, pf.redMax), channelTo255(g, pf.greenMax), channelTo255(b, pf.blueMax)};
}

std::uint32_t rgbToPixel(const PixelFormat& pf, const Rgb& rgb, const ColourMap* colourMap) {
    if (!pf.trueColour)
        return colourMap ? std::uint32_t(colourMap->findNearest(rgb)) : 0;
    std::uint32_t r = rgb.r, g = rgb.g, b = rgb.b;
    if (!allMaxima255(pf)) {
        r = channelFrom255(r, pf.redMax);
        g = channelFrom255(g, pf.greenMax);
        b = channelFrom255(b, pf.blueMax);
    } else {
        r = std::min(r, 255u);
        g = std::min(g, 255u);
        b = std::min(b, 255u);
    }
    std::uint32_t pixel = place(r, pf.redShift) | place(g, pf.greenShift) | place(b, pf.blueShift);
    // A maximum with gaps in its bits can pass the validity check and still reach beyond the
    // pixel; what a pixel cannot hold is not part of it.
    if (pf.bpp < 32)
        pixel &= (1u << pf.bpp) - 1;
    return swapForFormat(pf, pixel);
}

Rgb quantise(const PixelFormat& pf, const Rgb& rgb) {
    if (allMaxima255(pf))
        return rgb;
    auto reduce = [](std::uint32_t c, std::uint32_t max) {
        return channelTo255(channelFrom255(c, max), max);
    };
    return Rgb{reduce(rgb.r, pf.redMax), reduce(rgb.g, pf.greenMax), reduce(rgb.b, pf.blueMax)};
}

} // namespace rfb
