// Validity, equality, byte-order rewriting, the wire form and the text forms of pixel formats.
#include <rfb/PixelFormat.h>

#include <plat/fixedText.h>
#include <rdr/InStream.h>
#include <rdr/OutStream.h>

#include <bit>
#include <cctype>
#include <cstring>

namespace rfb {

namespace {

int bitCount(std::uint32_t value) {
    return std::popcount(value);
}

// Whether max fills exactly the bits between its shift and the next channel up.
bool fillsWidth(int max, int width) {
    return width > 0 && width <= 16 && max == (1 << width) - 1;
}

struct Channel {
    char letter;
    int max;
    int shift;
};

// Names the layout when the channels, listed from the most significant down, lie packed from
// bit 0 up to depth: "rgb565", "argb8888".
bool appendPackedName(char* buffer, std::size_t capacity, const Channel* channels, int count,
                      int depth) {
    if (channels[count - 1].shift != 0)
        return false;
    int widths[4];
    int top = depth;
    for (int i = 0; i < count; ++i) {
        widths[i] = top - channels[i].shift;
        if (!fillsWidth(channels[i].max, widths[i]))
            return false;
        top = channels[i].shift;
    }
    plat::boundedAppend(buffer, capacity, " ");
    for (int i = 0; i < count; ++i)
        plat::boundedAppend(buffer, capacity, &channels[i].letter, 1);
    for (int i = 0; i < count; ++i)
        plat::boundedAppendf(buffer, capacity, "%d", widths[i]);
    return true;
}

bool appendChannelName(char* buffer, std::size_t capacity, const PixelFormat& pf) {
    Channel r{'r', pf.redMax, pf.redShift}, g{'g', pf.greenMax, pf.greenShift},
        b{'b', pf.blueMax, pf.blueShift}, a{'a', pf.alphaMax, pf.alphaShift};
    if (pf.alphaMax == 0) {
        const Channel rgb[] = {r, g, b}, bgr[] = {b, g, r};
        return appendPackedName(buffer, capacity, rgb, 3, pf.depth) ||
               appendPackedName(buffer, capacity, bgr, 3, pf.depth);
    }
    const Channel rgba[] = {r, g, b, a}, argb[] = {a, r, g, b}, bgra[] = {b, g, r, a},
                  abgr[] = {a, b, g, r};
    return appendPackedName(buffer, capacity, rgba, 4, pf.depth) ||
           appendPackedName(buffer, capacity, argb, 4, pf.depth) ||
           appendPackedName(buffer, capacity, bgra, 4, pf.depth) ||
           appendPackedName(buffer, capacity, abgr, 4, pf.depth);
}

bool startsWithIgnoringCase(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix)
        if (std::tolower(static_cast<unsigned char>(*text)) != *prefix)
            return false;
    return true;
}

} // namespace

PixelFormat::PixelFormat() : PixelFormat(8, 8, false, true, 7, 7, 3, 0, 3, 6) {}

PixelFormat::PixelFormat(int bpp, int depth, bool bigEndian, bool trueColour, int redMax,
                         int greenMax, int blueMax, int redShift, int greenShift, int blueShift,
                         int alphaShift, int alphaMax)
    : bpp(std::uint8_t(bpp)), depth(std::uint8_t(depth)), bigEndian(bigEndian),
      trueColour(trueColour), redMax(std::uint16_t(redMax)), greenMax(std::uint16_t(greenMax)),
      blueMax(std::uint16_t(blueMax)), alphaMax(std::uint16_t(alphaMax)),
      redShift(std::uint8_t(redShift)), greenShift(std::uint8_t(greenShift)),
      blueShift(std::uint8_t(blueShift)), alphaShift(std::uint8_t(alphaShift)) {}

bool PixelFormat::equal(const PixelFormat& other) const {
    if (bpp != other.bpp || depth != other.depth || trueColour != other.trueColour)
        return false;
    if (bpp != 8 && bigEndian != other.bigEndian)
        return false;
    if (!trueColour)
        return true;
    return redMax == other.redMax && greenMax == other.greenMax && blueMax == other.blueMax &&
           alphaMax == other.alphaMax && redShift == other.redShift &&
           greenShift == other.greenShift && blueShift == other.blueShift &&
           alphaShift == other.alphaShift;
}

bool PixelFormat::isValid() const {
    if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    if (depth < 1 || depth > bpp)
        return false;
    if (!trueColour)
        return depth <= 8;
    return bitCount(redMax) + redShift <= bpp && bitCount(greenMax) + greenShift <= bpp &&
           bitCount(blueMax) + blueShift <= bpp && bitCount(alphaMax) + alphaShift <= bpp;
}

bool PixelFormat::isNativeEndian() const {
    return bpp == 8 || bigEndian == (std::endian::native == std::endian::big);
}

bool PixelFormat::isByteAligned() const {
    return redMax <= 255 && greenMax <= 255 && blueMax <= 255 && alphaMax <= 255 &&
           redShift % 8 == 0 && greenShift % 8 == 0 && blueShift % 8 == 0 && alphaShift % 8 == 0;
}

bool PixelFormat::toLittleEndian() {
    if (!bigEndian)
        return true;
    if (bpp == 8) {
        bigEndian = false;
        return true;
    }
    if (!isByteAligned())
        return false;
    // The byte holding a channel at shift s in big-endian order sits at bpp - 8 - s in
    // little-endian order; a channel in a byte the pixel does not have cannot be moved.
    const int mirrored[] = {bpp - 8 - redShift, bpp - 8 - greenShift, bpp - 8 - blueShift,
                            alphaMax ? bpp - 8 - alphaShift : alphaShift};
    for (int shift : mirrored)
        if (shift < 0)
            return false;
    bigEndian = false;
    redShift = std::uint8_t(mirrored[0]);
    greenShift = std::uint8_t(mirrored[1]);
    blueShift = std::uint8_t(mirrored[2]);
    alphaShift = std::uint8_t(mirrored[3]);
    return true;
}

void PixelFormat::updateDepth() {
    if (!trueColour)
        return;
    depth =
        std::uint8_t(bitCount(channelMask(redMax, redShift) | channelMask(greenMax, greenShift) |
                              channelMask(blueMax, blueShift) | channelMask(alphaMax, alphaShift)));
}

void PixelFormat::read(rdr::InStream& in) {
    bpp = in.readU8();
    depth = in.readU8();
    bigEndian = in.readU8() != 0;
    trueColour = in.readU8() != 0;
    redMax = in.readU16();
    greenMax = in.readU16();
    blueMax = in.readU16();
    redShift = in.readU8();
    greenShift = in.readU8();
    blueShift = in.readU8();
    alphaShift = in.readU8();
    alphaMax = in.readU16();
    // Older peers leave the alpha bytes as padding; only a record whose channels add up to its
    // depth can be carrying a real alpha channel.
    if (bitCount(redMax) + bitCount(greenMax) + bitCount(blueMax) + bitCount(alphaMax) != depth)
        alphaMax = 0;
    if (alphaMax == 0)
        alphaShift = 0;
}

void PixelFormat::write(rdr::OutStream& out) const {
    out.writeU8(bpp);
    out.writeU8(depth);
    out.writeU8(bigEndian);
    out.writeU8(trueColour);
    out.writeU16(redMax);
    out.writeU16(greenMax);
    out.writeU16(blueMax);
    out.writeU8(redShift);
    out.writeU8(greenShift);
    out.writeU8(blueShift);
    out.writeU8(alphaShift);
    out.writeU16(alphaMax);
}

void PixelFormat::print(char* buffer, std::size_t capacity) const {
    plat::boundedAppendf(buffer, capacity, "depth %d (%d bpp)", depth, bpp);
    if (bpp != 8)
        plat::boundedAppendf(buffer, capacity, " %s-endian", bigEndian ? "big" : "little");
    if (!trueColour) {
        plat::boundedAppend(buffer, capacity, " colour-map");
        return;
    }
    if (appendChannelName(buffer, capacity, *this))
        return;
    plat::boundedAppendf(buffer, capacity, " rgb max %d,%d,%d shift %d,%d,%d", redMax, greenMax,
                         blueMax, redShift, greenShift, blueShift);
    if (alphaMax)
        plat::boundedAppendf(buffer, capacity, " alpha max %d shift %d", alphaMax, alphaShift);
}

bool PixelFormat::parse(const char* text) {
    if (startsWithIgnoringCase(text, "pal")) {
        const char* digits = text + 3;
        if (std::strlen(digits) != 1 || digits[0] < '1' || digits[0] > '8')
            return false;
        bpp = 8;
        depth = std::uint8_t(digits[0] - '0');
        bigEndian = false;
        trueColour = false;
        return true;
    }
    bool rgb = startsWithIgnoringCase(text, "rgb");
    if (!rgb && !startsWithIgnoringCase(text, "bgr"))
        return false;
    if (std::strlen(text) != 6)
        return false;
    int widths[3];
    for (int i = 0; i < 3; ++i) {
        char digit = text[3 + i];
        if (digit < '1' || digit > '9')
            return false;
        widths[i] = digit - '0';
    }
    // widths[0] is the most significant channel, widths[2] the one at shift 0.
    int shifts[3] = {widths[1] + widths[2], widths[2], 0};
    int maxima[3];
    for (int i = 0; i < 3; ++i)
        maxima[i] = (1 << widths[i]) - 1;
    int red = rgb ? 0 : 2, blue = rgb ? 2 : 0;
    redMax = std::uint16_t(maxima[red]);
    greenMax = std::uint16_t(maxima[1]);
    blueMax = std::uint16_t(maxima[blue]);
    redShift = std::uint8_t(shifts[red]);
    greenShift = std::uint8_t(shifts[1]);
    blueShift = std::uint8_t(shifts[blue]);
    depth = std::uint8_t(widths[0] + widths[1] + widths[2]);
    bpp = depth <= 8 ? 8 : depth <= 16 ? 16 : 32;
    bigEndian = false;
    trueColour = true;
    return true;
}

} // namespace rfb
