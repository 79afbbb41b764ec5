// Choosing and building the translation tables, and the row loops that apply them.
#include <rfb/TransPixelBuffer.h>

#include <rfb/Region.h>
#include <rfb/pixelConversion.h>

#include <plat/Exception.h>

#include <algorithm>
#include <cstring>

namespace rfb {

namespace {

using Tables = TransPixelBuffer::Tables;
using TranslateFunction = TransPixelBuffer::TranslateFunction;

// Pixels of 1, 2 and 4 bytes in the host's order; 3-byte pixels least significant byte first.
template <int Bytes>
std::uint32_t readPixel(const std::uint8_t* p) {
    if constexpr (Bytes == 1) {
        return *p;
    } else if constexpr (Bytes == 2) {
        std::uint16_t value;
        std::memcpy(&value, p, 2);
        return value;
    } else if constexpr (Bytes == 3) {
        return p[0] | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
    } else {
        std::uint32_t value;
        std::memcpy(&value, p, 4);
        return value;
    }
}

template <int Bytes>
void writePixel(std::uint8_t* p, std::uint32_t value) {
    if constexpr (Bytes == 1) {
        *p = std::uint8_t(value);
    } else if constexpr (Bytes == 2) {
        auto narrow = std::uint16_t(value);
        std::memcpy(p, &narrow, 2);
    } else if constexpr (Bytes == 3) {
        p[0] = std::uint8_t(value);
        p[1] = std::uint8_t(value >> 8);
        p[2] = std::uint8_t(value >> 16);
    } else {
        std::memcpy(p, &value, 4);
    }
}

// One lookup per pixel; inputs wider than 16 bits (colour-map pixels) are clamped to the
// table's last entry, which holds the colour of every index beyond the map.
template <int InBytes, int OutBytes>
void translateSimple(const Tables& t, const std::uint8_t* in, std::ptrdiff_t inStride,
                     std::uint8_t* out, std::ptrdiff_t outStride, int width, int height) {
    const std::uint32_t* table = t.entries.data();
    for (int y = 0; y < height; ++y, in += inStride, out += outStride)
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = readPixel<InBytes>(in + x * InBytes);
            if constexpr (InBytes > 2)
                pixel = std::min(pixel, t.simpleLimit);
            writePixel<OutBytes>(out + x * OutBytes, table[pixel]);
        }
}

// Three lookups per pixel. True-colour entries hold bits of their own and are combined; cube
// entries are weighted levels whose sum is the cube index, which may map to a pixel once more.
template <int InBytes, int OutBytes, bool Cube, bool Final>
void translateChannels(const Tables& t, const std::uint8_t* in, std::ptrdiff_t inStride,
                       std::uint8_t* out, std::ptrdiff_t outStride, int width, int height) {
    const std::uint32_t* red = t.entries.data();
    const std::uint32_t* green = red + t.greenOffset;
    const std::uint32_t* blue = red + t.blueOffset;
    const std::uint32_t* final = Final ? red + t.finalOffset : nullptr;
    for (int y = 0; y < height; ++y, in += inStride, out += outStride)
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = readPixel<InBytes>(in + x * InBytes);
            if constexpr (InBytes == 4)
                if (t.swapInput)
                    pixel = __builtin_bswap32(pixel);
            std::uint32_t r = red[(pixel >> t.redShift) & t.redMask];
            std::uint32_t g = green[(pixel >> t.greenShift) & t.greenMask];
            std::uint32_t b = blue[(pixel >> t.blueShift) & t.blueMask];
            std::uint32_t value = Cube ? r + g + b : r | g | b;
            if constexpr (Final)
                value = final[value];
            writePixel<OutBytes>(out + x * OutBytes, value);
        }
}

template <int InBytes, int OutBytes>
void translateBytes(const Tables& t, const std::uint8_t* in, std::ptrdiff_t inStride,
                    std::uint8_t* out, std::ptrdiff_t outStride, int width, int height) {
    for (int y = 0; y < height; ++y, in += inStride, out += outStride)
        for (int x = 0; x < width; ++x)
            for (int i = 0; i < OutBytes; ++i) {
                int from = t.byteSource[i];
                out[x * OutBytes + i] = from < 0 ? 0 : in[x * InBytes + from];
            }
}

template <template <int, int> class Choice, int InBytes>
TranslateFunction byOutput(int outBytes) {
    switch (outBytes) {
    case 1:
        return Choice<InBytes, 1>::function;
    case 2:
        return Choice<InBytes, 2>::function;
    case 3:
        return Choice<InBytes, 3>::function;
    default:
        return Choice<InBytes, 4>::function;
    }
}

template <template <int, int> class Choice>
TranslateFunction byBytes(int inBytes, int outBytes) {
    switch (inBytes) {
    case 1:
        return byOutput<Choice, 1>(outBytes);
    case 2:
        return byOutput<Choice, 2>(outBytes);
    case 3:
        return byOutput<Choice, 3>(outBytes);
    default:
        return byOutput<Choice, 4>(outBytes);
    }
}

template <int In, int Out>
struct SimpleChoice {
    static constexpr TranslateFunction function = translateSimple<In, Out>;
};
template <int In, int Out>
struct ChannelChoice {
    static constexpr TranslateFunction function = translateChannels<In, Out, false, false>;
};
template <int In, int Out>
struct CubeIndexChoice {
    static constexpr TranslateFunction function = translateChannels<In, Out, true, false>;
};
template <int In, int Out>
struct CubePixelChoice {
    static constexpr TranslateFunction function = translateChannels<In, Out, true, true>;
};
template <int In, int Out>
struct ByteChoice {
    static constexpr TranslateFunction function = translateBytes<In, Out>;
};

// The largest n with n³ colours within the output depth.
int cubeLevelsFor(int depth) {
    int colours = 1 << std::min(depth, 8);
    int n = 1;
    while ((n + 1) * (n + 1) * (n + 1) <= colours)
        ++n;
    return n;
}

bool byteAligned255(const PixelFormat& pf) {
    auto fits = [&pf](int shift) { return shift % 8 == 0 && shift + 8 <= pf.bpp; };
    return pf.trueColour && (pf.bpp == 24 || pf.bpp == 32) && pf.redMax == 255 &&
           pf.greenMax == 255 && pf.blueMax == 255 && fits(pf.redShift) && fits(pf.greenShift) &&
           fits(pf.blueShift);
}

// The byte of memory holding the channel at shift; 24-bit pixels are always least significant
// byte first.
int byteIndex(const PixelFormat& pf, int shift) {
    if (pf.bpp == 32 && pf.bigEndian)
        return 3 - shift / 8;
    return shift / 8;
}

} // namespace

TransPixelBuffer::TransPixelBuffer(const PixelFormat& pf) : PixelBuffer(pf, Rect(), nullptr) {}

TransPixelBuffer::~TransPixelBuffer() = default;

void TransPixelBuffer::setSource(PixelBuffer* pb) {
    source = pb;
    rect = pb ? pb->getRect() : Rect();
    if (pb)
        inPF = pb->getPf();
    prepare();
}

void TransPixelBuffer::setPF(const PixelFormat& newPf) {
    if (newPf.equal(pf))
        return;
    pf = newPf;
    prepare();
}

void TransPixelBuffer::setColourMap(ColourMap* map) {
    if (map == explicitMap)
        return;
    explicitMap = map;
    prepare();
}

void TransPixelBuffer::setReductionFormat(const PixelFormat* format) {
    std::optional<PixelFormat> kept;
    if (format && format->trueColour)
        kept = *format;
    if (kept.has_value() == reduction.has_value() && (!kept || kept->equal(*reduction)))
        return;
    reduction = kept;
    prepare();
}

ColourMap* TransPixelBuffer::getColourMap() const {
    if (explicitMap)
        return explicitMap;
    if (cube)
        return cube.get();
    return source ? source->getColourMap() : nullptr;
}

void TransPixelBuffer::getImage(void* dest, const Rect& r, int destStride) {
    if (!source)
        return;
    if (!translate)
        return source->getImage(dest, r, destStride);
    if (r.isEmpty())
        return;
    int srcStride = 0;
    const std::uint8_t* in = source->getPixelsR(r, &srcStride);
    if (destStride == 0)
        destStride = r.width();
    translate(tables, in, std::ptrdiff_t(srcStride) * inPF.bytesPerPixel(),
              static_cast<std::uint8_t*>(dest), std::ptrdiff_t(destStride) * pf.bytesPerPixel(),
              r.width(), r.height());
}

const std::uint8_t* TransPixelBuffer::getPixelsR(const Rect& r, int* stride) {
    if (!source)
        return nullptr;
    if (!translate)
        return source->getPixelsR(r, stride);
    if (!scratch)
        scratch = std::make_unique<ManagedPixelBuffer>();
    scratch->setPF(pf);
    scratch->setSize(Point(r.width(), r.height()));
    int scratchStride = 0;
    std::uint8_t* pixels = scratch->getPixelsRW(scratch->getRect(), &scratchStride);
    getImage(pixels, r, scratchStride);
    if (stride)
        *stride = scratchStride;
    return pixels;
}

void TransPixelBuffer::commit(const Region& region) {
    if (source)
        source->commit(region);
}

std::uint32_t TransPixelBuffer::convert(std::uint32_t pixel, const ColourMap* inMap,
                                        const ColourMap* outMap, bool reduce) const {
    Rgb rgb;
    pixelToRgb(inPF, pixel, rgb, inMap);
    if (reduce)
        rgb = quantise(*reduction, rgb);
    return rgbToPixel(pf, rgb, outMap);
}

std::uint32_t TransPixelBuffer::channelValue255(std::uint32_t value, std::uint32_t max) const {
    bool raw = inPF.redMax == 255 && inPF.greenMax == 255 && inPF.blueMax == 255;
    return raw ? value : channelTo255(value, max);
}

void TransPixelBuffer::prepare() {
    translate = nullptr;
    cube.reset();
    tables = Tables();
    if (!source)
        return;
    PLAT_ASSERT(inPF.isValid());
    PLAT_ASSERT(pf.isValid());
    bool reduce = reduction && reduction->depth < pf.depth;
    const ColourMap* inMap = source->getColourMap();
    if (!pf.trueColour) {
        if (!inPF.trueColour) {
            if (inPF.bpp == pf.bpp && !explicitMap)
                return;
            buildSimpleTable(inMap, explicitMap ? explicitMap : inMap, reduce);
            return;
        }
        int levels = cubeLevelsFor(pf.depth);
        cube = std::make_unique<ColorCubeOrth>(levels, levels, levels);
        const ColourMap* outMap = explicitMap ? explicitMap : cube.get();
        if (inPF.bpp <= 16)
            buildSimpleTable(inMap, outMap, reduce);
        else
            buildCubeTables(outMap, reduce);
        return;
    }
    if (!reduce && inPF.equal(pf))
        return;
    if (!reduce && buildByteShuffle())
        return;
    if (inPF.bpp <= 16 || !inPF.trueColour)
        buildSimpleTable(inMap, nullptr, reduce);
    else
        buildChannelTables(reduce);
}

void TransPixelBuffer::buildSimpleTable(const ColourMap* inMap, const ColourMap* outMap,
                                        bool reduce) {
    // Colour-map pixels wider than 16 bits index at most 256 colours; one more entry holds the
    // black of every index beyond.
    std::uint32_t count = inPF.bpp <= 16 ? 1u << inPF.bpp : 257;
    tables.entries.resize(count);
    for (std::uint32_t i = 0; i < count; ++i)
        tables.entries[i] = convert(i, inMap, outMap, reduce);
    tables.simpleLimit = count - 1;
    translate = byBytes<SimpleChoice>(inPF.bytesPerPixel(), pf.bytesPerPixel());
}

template <typename EntryOf>
void TransPixelBuffer::buildPerChannelEntries(bool reduce, EntryOf entryOf) {
    tables.swapInput = inPF.bpp == 32 && !inPF.isNativeEndian();
    const struct {
        std::uint32_t max;
        int shift;
    } channels[3] = {{inPF.redMax, inPF.redShift},
                     {inPF.greenMax, inPF.greenShift},
                     {inPF.blueMax, inPF.blueShift}};
    int* shifts[3] = {&tables.redShift, &tables.greenShift, &tables.blueShift};
    std::uint32_t* masks[3] = {&tables.redMask, &tables.greenMask, &tables.blueMask};
    int offsets[3] = {0, 0, 0};
    for (int c = 0; c < 3; ++c) {
        // A channel beyond the pixel reads as 0: a mask of 0 at shift 0.
        bool present = channels[c].shift < 32;
        *shifts[c] = present ? channels[c].shift : 0;
        *masks[c] = present ? channels[c].max : 0;
        offsets[c] = int(tables.entries.size());
        for (std::uint32_t v = 0; v <= *masks[c]; ++v) {
            Rgb rgb;
            (c == 0 ? rgb.r : c == 1 ? rgb.g : rgb.b) = channelValue255(v, channels[c].max);
            if (reduce)
                rgb = quantise(*reduction, rgb);
            tables.entries.push_back(entryOf(c, rgb));
        }
    }
    tables.greenOffset = offsets[1];
    tables.blueOffset = offsets[2];
}

void TransPixelBuffer::buildChannelTables(bool reduce) {
    buildPerChannelEntries(reduce, [this](int, const Rgb& rgb) { return rgbToPixel(pf, rgb); });
    translate = byBytes<ChannelChoice>(inPF.bytesPerPixel(), pf.bytesPerPixel());
}

void TransPixelBuffer::buildCubeTables(const ColourMap* outMap, bool reduce) {
    // Index arithmetic needs the level counts of a cube: the output map's own when it is one,
    // else the cube made for this output, whose colours then map to the output map's pixels.
    const auto* orthCM = dynamic_cast<const ColorCubeOrth*>(outMap);
    if (!orthCM)
        orthCM = cube.get();
    const int levels[3] = {orthCM->redLevels, orthCM->greenLevels, orthCM->blueLevels};
    const int weights[3] = {orthCM->greenLevels * orthCM->blueLevels, orthCM->blueLevels, 1};
    buildPerChannelEntries(reduce, [&](int c, const Rgb& rgb) {
        std::uint32_t level = c == 0 ? rgb.r : c == 1 ? rgb.g : rgb.b;
        return std::uint32_t(ColorCubeOrth::nearestLevel(level, levels[c]) * weights[c]);
    });
    bool indexIsPixel = outMap == orthCM && orthCM->isOrthogonal();
    if (indexIsPixel) {
        translate = byBytes<CubeIndexChoice>(inPF.bytesPerPixel(), pf.bytesPerPixel());
        return;
    }
    tables.finalOffset = int(tables.entries.size());
    for (int i = 0; i < orthCM->size(); ++i)
        tables.entries.push_back(std::uint32_t(outMap->findNearest(orthCM->levelColour(i))));
    translate = byBytes<CubePixelChoice>(inPF.bytesPerPixel(), pf.bytesPerPixel());
}

bool TransPixelBuffer::buildByteShuffle() {
    if (!byteAligned255(inPF) || !byteAligned255(pf))
        return false;
    if (inPF.bpp == 32 && !inPF.isNativeEndian())
        return false;
    const int inShifts[3] = {inPF.redShift, inPF.greenShift, inPF.blueShift};
    const int outShifts[3] = {pf.redShift, pf.greenShift, pf.blueShift};
    // Channels sharing an output byte are combined by the rules, which a copy cannot do.
    if (outShifts[0] == outShifts[1] || outShifts[1] == outShifts[2] ||
        outShifts[0] == outShifts[2])
        return false;
    for (int c = 0; c < 3; ++c)
        tables.byteSource[byteIndex(pf, outShifts[c])] = std::int8_t(byteIndex(inPF, inShifts[c]));
    translate = byBytes<ByteChoice>(inPF.bytesPerPixel(), pf.bytesPerPixel());
    return true;
}

} // namespace rfb
