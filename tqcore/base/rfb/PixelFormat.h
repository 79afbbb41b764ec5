// The description of how pixel values in memory carry colour: size, byte order, and either the
// position and range of each channel or an index into a colour map; its 16-byte wire form and
// its text forms.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rdr {
class InStream;
class OutStream;
} // namespace rdr

namespace rfb {

class PixelFormat {
public:
    // The room print() expects in the caller's buffer.
    static constexpr std::size_t TextCapacity = 128;

    // 8 bpp, depth 8, true colour bgr233.
    PixelFormat();
    PixelFormat(int bpp, int depth, bool bigEndian, bool trueColour, int redMax, int greenMax,
                int blueMax, int redShift, int greenShift, int blueShift, int alphaShift = 0,
                int alphaMax = 0);

    // Colour-map formats compare by bpp and depth only; byte order does not matter at 8 bpp.
    bool equal(const PixelFormat& other) const;
    bool isValid() const;
    bool isNativeEndian() const;
    bool isByteAligned() const;
    bool hasAlpha() const { return trueColour && alphaMax != 0; }
    int bytesPerPixel() const { return (bpp + 7) / 8; }

    // Rewrites a byte-aligned big-endian format as the little-endian one describing the same
    // bytes; false (and unchanged) when that is not possible.
    bool toLittleEndian();
    // Sets depth to the number of bits the channels occupy.
    void updateDepth();

    void read(rdr::InStream& in);
    void write(rdr::OutStream& out) const;

    // Appends the text form to the NUL-terminated text in buffer, cutting on a character
    // boundary at capacity.
    void print(char* buffer, std::size_t capacity = TextCapacity) const;
    // "pal<n>", "rgb<r><g><b>" or "bgr<b><g><r>", ignoring case; false leaves the format as is.
    bool parse(const char* text);

    // The channel's bits in place; a shift of 32 or more moves every bit out of a pixel.
    static std::uint32_t channelMask(int max, int shift) {
        return shift >= 32 ? 0 : std::uint32_t(max) << shift;
    }

    // Field order matches the layout the rest of the system expects: maxima before shifts.
    std::uint8_t bpp;
    std::uint8_t depth;
    bool bigEndian;
    bool trueColour;
    std::uint16_t redMax;
    std::uint16_t greenMax;
    std::uint16_t blueMax;
    std::uint16_t alphaMax;
    std::uint8_t redShift;
    std::uint8_t greenShift;
    std::uint8_t blueShift;
    std::uint8_t alphaShift;
};

static_assert(sizeof(PixelFormat) == 16);

} // namespace rfb
