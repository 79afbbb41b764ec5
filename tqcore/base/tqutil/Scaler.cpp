// The scaler works in a grid where each source pixel is (destination size) units wide and each
// destination pixel (source size) units, so that both cover whole units. Weights are fixed point
// with 23 fractional bits and add up to exactly 1 per destination pixel on each axis.
#include <tqutil/Scaler.h>

#include <plat/Exception.h>
#include <rfb/ColourMap.h>
#include <rfb/PixelBuffer.h>

#include <algorithm>
#include <cstring>

namespace tqutil {

namespace {

constexpr std::uint64_t Half = std::uint64_t(1) << (Scaler::WeightBits - 1);

// How one side turns pixel values into four channel values (red, green, blue, alpha) and back.
struct Codec {
    int bytes;
    bool bigEndian;
    bool trueColour;
    bool raw; // channel values as they are, else on the scale 0..255
    int shift[4];
    std::uint32_t max[4];
    const rfb::ColourMap* colourMap;
};

Codec codecFor(const rfb::PixelFormat& pf, const rfb::ColourMap* colourMap, bool raw) {
    return Codec{pf.bytesPerPixel(),
                 pf.bigEndian && pf.bpp > 8,
                 pf.trueColour,
                 raw,
                 {pf.redShift, pf.greenShift, pf.blueShift, pf.alphaShift},
                 {pf.redMax, pf.greenMax, pf.blueMax, pf.alphaMax},
                 colourMap};
}

std::uint32_t readPixel(const std::uint8_t* p, const Codec& codec) {
    std::uint32_t value = 0;
    for (int i = 0; i < codec.bytes; ++i) {
        int byte = codec.bigEndian ? i : codec.bytes - 1 - i;
        value = value << 8 | p[byte];
    }
    return value;
}

void writePixel(std::uint8_t* p, const Codec& codec, std::uint32_t value) {
    for (int i = 0; i < codec.bytes; ++i) {
        int byte = codec.bigEndian ? codec.bytes - 1 - i : i;
        p[byte] = std::uint8_t(value >> (8 * i));
    }
}

// A shift of 32 or more leaves no bits of the channel in the pixel.
std::uint32_t field(std::uint32_t pixel, int shift, std::uint32_t max) {
    return shift >= 32 ? 0 : (pixel >> shift) & max;
}

std::uint32_t placed(std::uint32_t value, int shift) {
    return shift >= 32 ? 0 : value << shift;
}

std::uint32_t to255(std::uint32_t value, std::uint32_t max) {
    if (max == 0)
        return 0;
    return max == 255 ? value : (value * 255 + max / 2) / max;
}

std::uint32_t from255(std::uint32_t value, std::uint32_t max) {
    return max == 255 ? value : (value * max + 127) / 255;
}

void decode(const Codec& codec, std::uint32_t pixel, std::uint32_t channels[4]) {
    if (!codec.trueColour) {
        rfb::Rgb rgb;
        auto index = int(pixel);
        if (codec.colourMap && index < codec.colourMap->size())
            codec.colourMap->lookup(index, rgb);
        channels[0] = std::min<std::uint32_t>(rgb.r, 255);
        channels[1] = std::min<std::uint32_t>(rgb.g, 255);
        channels[2] = std::min<std::uint32_t>(rgb.b, 255);
        channels[3] = 255;
        return;
    }
    for (int c = 0; c < 4; ++c) {
        std::uint32_t value = field(pixel, codec.shift[c], codec.max[c]);
        channels[c] = codec.raw ? value : to255(value, codec.max[c]);
    }
    if (!codec.raw && codec.max[3] == 0)
        channels[3] = 255;
}

std::uint32_t encode(const Codec& codec, const std::uint32_t channels[4]) {
    if (!codec.trueColour) {
        if (!codec.colourMap)
            return 0;
        return std::uint32_t(
            codec.colourMap->findNearest(rfb::Rgb{channels[0], channels[1], channels[2]}));
    }
    std::uint32_t pixel = 0;
    for (int c = 0; c < 4; ++c) {
        if (codec.max[c] == 0)
            continue;
        std::uint32_t value =
            codec.raw ? std::min(channels[c], codec.max[c])
                      : from255(std::min<std::uint32_t>(channels[c], 255), codec.max[c]);
        pixel |= placed(value, codec.shift[c]);
    }
    return pixel;
}

void formatText(const rfb::PixelFormat& pf, char* text) {
    text[0] = '\0';
    pf.print(text, rfb::PixelFormat::TextCapacity);
}

} // namespace

Scaler::Axis Scaler::weightsFor(int sourceSize, int destinationSize) {
    Axis axis;
    const std::int64_t n = sourceSize, m = destinationSize;
    // The cumulative weight at u units into a destination pixel, rounded once, so that the
    // weights of each destination pixel add up to exactly 2^23.
    auto cumulative = [n](std::int64_t u) {
        return std::uint32_t(((u << WeightBits) + n / 2) / n);
    };
    for (std::int64_t d = 0; d < m; ++d) {
        std::int64_t start = d * n, end = start + n;
        std::int64_t first = start / m, last = (end - 1) / m;
        axis.spans.push_back(Span{int(first), int(last - first + 1), axis.weights.size()});
        for (std::int64_t i = first; i <= last; ++i) {
            std::int64_t from = std::max(i * m, start) - start;
            std::int64_t to = std::min((i + 1) * m, end) - start;
            axis.weights.push_back(cumulative(to) - cumulative(from));
        }
    }
    return axis;
}

void Scaler::setSource(rfb::PixelBuffer* pb) {
    source = pb;
    coords_.srcSz = pb ? pb->getSize() : rfb::Point();
    if (pb && !destinationFormatSet) {
        destinationPf = pb->getPf();
        destinationColourMap = pb->getColourMap();
    }
    chooseKernel();
}

void Scaler::setDestinationSize(rfb::Point size) {
    coords_.dstSz = size;
}

void Scaler::setDestinationFormat(const rfb::PixelFormat& pf, rfb::ColourMap* colourMap) {
    destinationPf = pf;
    destinationColourMap = colourMap;
    destinationFormatSet = true;
    chooseKernel();
}

void Scaler::chooseKernel() {
    kernel_ = Kernel::None;
    if (!source)
        return;
    const rfb::PixelFormat& from = source->getPf();
    const rfb::PixelFormat& to = destinationPf;
    int srcIdx = from.bpp / 8 - 1, dstIdx = to.bpp / 8 - 1;
    PLAT_ASSERT(srcIdx >= 0 && srcIdx <= 3 && dstIdx >= 0 && dstIdx <= 3);
    bool hostOrder = from.isNativeEndian() && to.isNativeEndian();
    if (to.trueColour && hostOrder && from.equal(to))
        kernel_ = Kernel::RawChannels;
    else if (to.trueColour && hostOrder && to.bpp == 32 && to.alphaMax != 0)
        kernel_ = Kernel::ToAlpha;
    else if (!from.hasAlpha() && !to.hasAlpha())
        kernel_ = Kernel::Converted;
}

void Scaler::getImage(void* dest, const rfb::Rect& rect, int destStride) {
    if (rect.isEmpty())
        return;
    if (!source)
        throw plat::Exception("Scaler error: no source");
    PLAT_ASSERT(coords_.srcSz.x > 0 && coords_.srcSz.y > 0 && coords_.dstSz.x > 0 &&
                coords_.dstSz.y > 0);
    PLAT_ASSERT(rfb::Rect(0, 0, coords_.dstSz.x, coords_.dstSz.y).encloses(rect));
    if (destStride == 0)
        destStride = rect.width();
    auto* out = static_cast<std::uint8_t*>(dest);
    const rfb::Point origin = source->getRect().tl;

    if (source->getPf().equal(destinationPf) && coords_.srcSz == coords_.dstSz) {
        // Same format, same size: each row is one block copy.
        auto bytes = std::size_t(destinationPf.bytesPerPixel());
        int stride = 0;
        const std::uint8_t* pixels = source->getPixelsR(rect.translate(origin), &stride);
        for (int y = 0; y < rect.height(); ++y)
            std::memcpy(out + std::size_t(y) * std::size_t(destStride) * bytes,
                        pixels + std::size_t(y) * std::size_t(stride) * bytes,
                        std::size_t(rect.width()) * bytes);
        return;
    }
    if (kernel_ == Kernel::None) {
        char fromText[rfb::PixelFormat::TextCapacity], toText[rfb::PixelFormat::TextCapacity];
        formatText(source->getPf(), fromText);
        formatText(destinationPf, toText);
        throw plat::ExceptionFmt("Scaler error: %s to %s", fromText, toText);
    }

    bool raw = kernel_ == Kernel::RawChannels;
    Codec from = codecFor(source->getPf(), source->getColourMap(), raw);
    Codec to = codecFor(destinationPf, destinationColourMap, raw);
    Axis horizontal = weightsFor(coords_.srcSz.x, coords_.dstSz.x);
    Axis vertical = weightsFor(coords_.srcSz.y, coords_.dstSz.y);
    const Span& firstColumn = horizontal.spans[std::size_t(rect.tl.x)];
    const Span& lastColumn = horizontal.spans[std::size_t(rect.br.x - 1)];
    const Span& firstRow = vertical.spans[std::size_t(rect.tl.y)];
    const Span& lastRow = vertical.spans[std::size_t(rect.br.y - 1)];
    rfb::Rect needed(firstColumn.first, firstRow.first, lastColumn.first + lastColumn.count,
                     lastRow.first + lastRow.count);
    int sourceStride = 0;
    const std::uint8_t* pixels = source->getPixelsR(needed.translate(origin), &sourceStride);
    const std::size_t sourceRowBytes = std::size_t(sourceStride) * std::size_t(from.bytes);

    const std::size_t width = std::size_t(rect.width());
    rowSums.resize(width * 4);
    for (int y = rect.tl.y; y < rect.br.y; ++y) {
        std::fill(rowSums.begin(), rowSums.end(), 0);
        const Span& rows = vertical.spans[std::size_t(y)];
        for (int k = 0; k < rows.count; ++k) {
            std::uint64_t rowWeight = vertical.weights[rows.offset + std::size_t(k)];
            const std::uint8_t* row =
                pixels + std::size_t(rows.first + k - needed.tl.y) * sourceRowBytes;
            for (std::size_t x = 0; x < width; ++x) {
                const Span& columns = horizontal.spans[std::size_t(rect.tl.x) + x];
                std::uint64_t sums[4] = {};
                for (int m = 0; m < columns.count; ++m) {
                    std::uint32_t channels[4];
                    std::size_t column = std::size_t(columns.first + m - needed.tl.x);
                    decode(from, readPixel(row + column * std::size_t(from.bytes), from), channels);
                    std::uint64_t weight = horizontal.weights[columns.offset + std::size_t(m)];
                    for (int c = 0; c < 4; ++c)
                        sums[c] += channels[c] * weight;
                }
                for (int c = 0; c < 4; ++c)
                    rowSums[x * 4 + std::size_t(c)] += (sums[c] * rowWeight + Half) >> WeightBits;
            }
        }
        std::uint8_t* target =
            out + std::size_t(y - rect.tl.y) * std::size_t(destStride) * std::size_t(to.bytes);
        for (std::size_t x = 0; x < width; ++x) {
            std::uint32_t channels[4];
            for (int c = 0; c < 4; ++c)
                channels[c] = std::uint32_t((rowSums[x * 4 + std::size_t(c)] + Half) >> WeightBits);
            writePixel(target + x * std::size_t(to.bytes), to, encode(to, channels));
        }
    }
}

} // namespace tqutil
