// The area-averaging scaler against a double-precision area average (within one unit of the
// channel), on every kernel road: equal formats, into alpha, converted, copied and refused.
#include "support/raisedBy.h"

#include <rfb/ManagedPixelBuffer.h>
#include <tqutil/Scaler.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

namespace {

using Kernel = tqutil::Scaler::Kernel;
using Channels = std::array<double, 4>;

const rfb::PixelFormat Rgb888(32, 24, false, true, 255, 255, 255, 16, 8, 0);
const rfb::PixelFormat Rgb888Big(32, 24, true, true, 255, 255, 255, 16, 8, 0);
const rfb::PixelFormat Bgr888(32, 24, false, true, 255, 255, 255, 0, 8, 16);
const rfb::PixelFormat Argb8888(32, 32, false, true, 255, 255, 255, 16, 8, 0, 24, 255);
const rfb::PixelFormat Rgb888Packed(24, 24, false, true, 255, 255, 255, 16, 8, 0);
const rfb::PixelFormat Rgb565(16, 16, false, true, 31, 63, 31, 11, 5, 0);
const rfb::PixelFormat Rgb555(16, 15, false, true, 31, 31, 31, 10, 5, 0);
const rfb::PixelFormat Rgb222(8, 6, false, true, 3, 3, 3, 4, 2, 0);
const rfb::PixelFormat Pal8(8, 8, false, false, 0, 0, 0, 0, 0, 0);

class GreyRamp : public rfb::ColourMap {
public:
    void lookup(int index, rfb::Rgb& rgb) const override {
        rgb = {std::uint32_t(index), std::uint32_t(255 - index), std::uint32_t(index / 2)};
    }
    int size() const override { return 256; }
} ramp;

int maxOf(const rfb::PixelFormat& pf, int c) {
    return c == 0 ? pf.redMax : c == 1 ? pf.greenMax : c == 2 ? pf.blueMax : pf.alphaMax;
}
int shiftOf(const rfb::PixelFormat& pf, int c) {
    return c == 0 ? pf.redShift : c == 1 ? pf.greenShift : c == 2 ? pf.blueShift : pf.alphaShift;
}

// Channel values as stored (raw) or on the scale 0..255; pixels in host order.
Channels channelsOf(const rfb::PixelFormat& pf, std::uint32_t pixel, bool raw) {
    if (!pf.trueColour) {
        rfb::Rgb rgb;
        ramp.lookup(int(pixel), rgb);
        return {double(rgb.r), double(rgb.g), double(rgb.b), 255};
    }
    if (pf.bigEndian)
        pixel = __builtin_bswap32(pixel);
    Channels channels{};
    for (int c = 0; c < 4; ++c) {
        int max = maxOf(pf, c);
        double value = max ? (pixel >> shiftOf(pf, c)) & unsigned(max) : 0;
        channels[std::size_t(c)] = raw || max == 0 ? value : std::round(value * 255 / max);
    }
    if (!raw && pf.alphaMax == 0)
        channels[3] = 255;
    return channels;
}

void checkScaling(const rfb::PixelFormat& from, const rfb::PixelFormat& to, rfb::Point fromSize,
                  rfb::Point toSize, Kernel expected) {
    SCOPED_TRACE(testing::Message()
                 << fromSize.x << "x" << fromSize.y << " to " << toSize.x << "x" << toSize.y << ", "
                 << int(from.bpp) << " to " << int(to.bpp) << " bpp");
    std::mt19937 random(fromSize.x * 31 + toSize.y);
    rfb::ManagedPixelBuffer source;
    source.setPF(from);
    source.setSize(fromSize);
    source.setColourMap(&ramp);
    for (int y = 0; y < fromSize.y; ++y)
        for (int x = 0; x < fromSize.x; ++x)
            source.setPixel(rfb::Point(x, y), std::uint32_t(random()) >> (32 - from.bpp));

    tqutil::Scaler scaler;
    scaler.setSource(&source);
    scaler.setDestinationFormat(to, &ramp);
    scaler.setDestinationSize(toSize);
    ASSERT_EQ(scaler.kernel(), expected);
    rfb::ManagedPixelBuffer result;
    result.setPF(to);
    result.setSize(toSize);
    int stride = 0;
    scaler.getImage(result.getPixelsRW(result.getRect(), &stride), result.getRect(), stride);

    bool raw = expected == Kernel::RawChannels;
    double sx = double(fromSize.x) / toSize.x, sy = double(fromSize.y) / toSize.y;
    for (int y = 0; y < toSize.y; ++y) {
        for (int x = 0; x < toSize.x; ++x) {
            Channels sum{};
            for (int j = int(y * sy); j < fromSize.y && j < (y + 1) * sy; ++j) {
                double overlapY =
                    std::min<double>(j + 1, (y + 1) * sy) - std::max<double>(j, y * sy);
                for (int i = int(x * sx); i < fromSize.x && i < (x + 1) * sx; ++i) {
                    double overlapX =
                        std::min<double>(i + 1, (x + 1) * sx) - std::max<double>(i, x * sx);
                    Channels c = channelsOf(from, source.getPixel(rfb::Point(i, j)), raw);
                    for (std::size_t k = 0; k < 4; ++k)
                        sum[k] += c[k] * overlapX * overlapY / (sx * sy);
                }
            }
            Channels got = channelsOf(to, result.getPixel(rfb::Point(x, y)), true);
            for (int c = 0; c < 4; ++c) {
                int max = maxOf(to, c);
                if (max == 0)
                    continue;
                double want = raw ? sum[std::size_t(c)] : sum[std::size_t(c)] * max / 255;
                ASSERT_NEAR(got[std::size_t(c)], want, 1.0)
                    << "at " << x << "," << y << " channel " << c;
            }
        }
    }
}

TEST(Scaler, AveragesEqualFormatsChannelByChannel) {
    checkScaling(Rgb888, Rgb888, {96, 96}, {32, 32}, Kernel::RawChannels);
    checkScaling(Argb8888, Argb8888, {97, 98}, {49, 49}, Kernel::RawChannels);
    checkScaling(Rgb565, Rgb565, {5, 3}, {17, 11}, Kernel::RawChannels);
    checkScaling(Rgb222, Rgb222, {1, 1}, {7, 5}, Kernel::RawChannels);
    checkScaling(Rgb555, Rgb555, {9, 6}, {1, 1}, Kernel::RawChannels);
    checkScaling(Bgr888, Bgr888, {40, 30}, {41, 29}, Kernel::RawChannels);
    checkScaling(Rgb888Packed, Rgb888Packed, {7, 7}, {3, 5}, Kernel::RawChannels);
}

TEST(Scaler, ConvertsIntoAlphaFromEverySourceSize) {
    checkScaling(Rgb222, Argb8888, {10, 10}, {4, 4}, Kernel::ToAlpha);
    checkScaling(Pal8, Argb8888, {9, 9}, {4, 5}, Kernel::ToAlpha);
    checkScaling(Rgb565, Argb8888, {12, 8}, {30, 20}, Kernel::ToAlpha);
    checkScaling(Rgb888Packed, Argb8888, {6, 6}, {3, 3}, Kernel::ToAlpha);
    checkScaling(Rgb888, Argb8888, {96, 96}, {32, 32}, Kernel::ToAlpha);
}

TEST(Scaler, ConvertsBetweenFormatsWithoutAlpha) {
    checkScaling(Rgb888, Rgb565, {96, 96}, {32, 32}, Kernel::Converted);
    checkScaling(Pal8, Rgb888, {8, 8}, {3, 3}, Kernel::Converted);
    checkScaling(Rgb888Big, Rgb888, {10, 6}, {5, 3}, Kernel::Converted);
    checkScaling(Rgb565, Rgb222, {6, 6}, {2, 2}, Kernel::Converted);
}

TEST(Scaler, CopiesEqualSizesAndRefusesWhatItCannotConvert) {
    rfb::ManagedPixelBuffer source;
    source.setPF(Argb8888);
    source.setSize({4, 3});
    source.setPixel({2, 1}, 0x80402010);
    tqutil::Scaler scaler;
    std::uint32_t out[12] = {};
    EXPECT_EQ(testsupport::raisedBy([&] { scaler.getImage(out, rfb::Rect(0, 0, 1, 1)); }).message,
              "Scaler error: no source");
    scaler.setSource(&source);
    scaler.setDestinationSize({4, 3});
    scaler.getImage(out, rfb::Rect(1, 1, 4, 3));
    EXPECT_EQ(out[1], 0x80402010u) << "a plain copy of the rectangle";

    scaler.setDestinationFormat(Rgb565);
    scaler.setDestinationSize({2, 2});
    EXPECT_EQ(scaler.kernel(), Kernel::None);
    EXPECT_EQ(testsupport::raisedBy([&] { scaler.getImage(out, rfb::Rect(0, 0, 2, 2)); }).message,
              "Scaler error: depth 32 (32 bpp) little-endian argb8888 to depth 16 (16 bpp) "
              "little-endian rgb565");
    scaler.getImage(out, rfb::Rect(1, 1, 1, 2));
    source.setPF(rfb::PixelFormat(32, 32, true, true, 255, 255, 255, 16, 8, 0, 24, 255));
    scaler.setSource(&source);
    scaler.setDestinationFormat(Argb8888);
    EXPECT_EQ(scaler.kernel(), Kernel::None) << "alpha across byte orders";
}

} // namespace
