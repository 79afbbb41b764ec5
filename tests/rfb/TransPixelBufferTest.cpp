// Pixel translation: every pair of the standard formats (and 24-bit and big-endian ones), with
// and without a reduction format, colour-map input and cube output, against the per-pixel rules.
#include <rfb/ColorCube.h>
#include <rfb/FullFramePixelBuffer.h>
#include <rfb/TransPixelBuffer.h>
#include <rfb/pixelConversion.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using rfb::PixelFormat;
using rfb::Rect;
using rfb::Rgb;

PixelFormat parsed(const char* text) {
    PixelFormat pf;
    pf.parse(text);
    return pf;
}

PixelFormat bigEndian(PixelFormat pf) {
    pf.bigEndian = true;
    return pf;
}

std::vector<PixelFormat> formats() {
    std::vector<PixelFormat> list;
    for (const char* name : {"rgb888", "bgr888", "rgb565", "rgb555", "rgb222", "rgb111", "pal8"})
        list.push_back(parsed(name));
    list.push_back(PixelFormat(32, 32, false, true, 255, 255, 255, 16, 8, 0, 24, 255));
    list.push_back(PixelFormat(24, 24, false, true, 255, 255, 255, 16, 8, 0));
    list.push_back(PixelFormat(24, 24, false, true, 255, 255, 255, 0, 8, 16));
    list.push_back(bigEndian(parsed("rgb888")));
    list.push_back(bigEndian(parsed("rgb565")));
    list.push_back(PixelFormat(32, 24, false, true, 255, 255, 255, 24, 16, 8));
    return list;
}

std::uint32_t pixelAt(const std::vector<std::uint8_t>& memory, int index, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= std::uint32_t(memory[std::size_t(index * bytes + i)]) << (8 * i);
    return value;
}

struct Source {
    Source(const PixelFormat& pf, rfb::ColourMap* map, std::mt19937& random)
        : memory(std::size_t(Size.area() * pf.bytesPerPixel())), pb(pf, Size, map, memory.data()) {
        for (std::uint8_t& byte : memory)
            byte = std::uint8_t(random());
    }
    static constexpr Rect Size{0, 0, 37, 5};
    std::vector<std::uint8_t> memory;
    rfb::FullFramePixelBuffer pb;
};

// Translates the whole source and compares each pixel with the rules applied one by one.
void expectRules(rfb::TransPixelBuffer& trans, Source& source, const PixelFormat& in,
                 const PixelFormat& out, const PixelFormat* reduction) {
    std::vector<std::uint8_t> result(std::size_t(Source::Size.area() * out.bytesPerPixel()));
    trans.getImage(result.data(), Source::Size);
    bool passThrough = in.equal(out) && !reduction;
    EXPECT_EQ(trans.translates(), !passThrough);
    char inText[128] = "", outText[128] = "";
    in.print(inText);
    out.print(outText);
    for (int i = 0; i < Source::Size.area(); ++i) {
        std::uint32_t pixel = pixelAt(source.memory, i, in.bytesPerPixel());
        std::uint32_t expected = pixel;
        if (!passThrough) {
            Rgb rgb;
            rfb::pixelToRgb(in, pixel, rgb, source.pb.getColourMap());
            if (reduction)
                rgb = rfb::quantise(*reduction, rgb);
            expected = rfb::rgbToPixel(out, rgb, trans.getColourMap());
        }
        ASSERT_EQ(pixelAt(result, i, out.bytesPerPixel()), expected)
            << inText << " -> " << outText << (reduction ? " reduced" : "") << " pixel " << i;
    }
}

TEST(TransPixelBufferRules, EveryPairOfFormatsTranslatesLikeThePerPixelRules) {
    std::mt19937 random(7);
    rfb::ColorCubeOrth sourceMap(6, 6, 6);
    const PixelFormat rgb222 = parsed("rgb222");
    for (const PixelFormat& in : formats())
        for (const PixelFormat& out : formats()) {
            Source source(in, &sourceMap, random);
            rfb::TransPixelBuffer trans(out);
            trans.setSource(&source.pb);
            expectRules(trans, source, in, out, nullptr);
            if (out.depth > rgb222.depth && out.trueColour) {
                trans.setReductionFormat(&rgb222);
                expectRules(trans, source, in, out, &rgb222);
            }
        }
}

TEST(TransPixelBufferRules, ColourMapOutputGoesThroughCubes) {
    std::mt19937 random(11);
    const PixelFormat pal8 = parsed("pal8");
    rfb::ColorCubeOrth explicitCube(3, 4, 5);
    rfb::ColorCubePlusTable allocated(2, 3, 4);
    for (int i = 0; i < allocated.size(); ++i)
        allocated.setPixel(i, std::uint32_t(100 + i));
    for (const PixelFormat& in :
         {parsed("rgb888"), parsed("rgb565"), bigEndian(parsed("rgb888"))}) {
        Source source(in, nullptr, random);
        rfb::TransPixelBuffer trans(pal8);
        trans.setSource(&source.pb);
        ASSERT_NE(dynamic_cast<rfb::ColorCubeOrth*>(trans.getColourMap()), nullptr);
        EXPECT_EQ(trans.getColourMap()->size(), 216) << "6 levels fit 8 bits";
        expectRules(trans, source, in, pal8, nullptr);
        trans.setColourMap(&explicitCube);
        expectRules(trans, source, in, pal8, nullptr);
        trans.setColourMap(&allocated);
        expectRules(trans, source, in, pal8, nullptr);
    }
}

TEST(TransPixelBufferRules, PixelsComeFromTheSourceRectangleAndTheScratchBuffer) {
    std::mt19937 random(3);
    Source source(parsed("rgb565"), nullptr, random);
    rfb::TransPixelBuffer trans(parsed("rgb888"));
    trans.setSource(&source.pb);
    int stride = 0;
    const auto* pixels =
        reinterpret_cast<const std::uint32_t*>(trans.getPixelsR(Rect(2, 1, 6, 4), &stride));
    EXPECT_EQ(stride, 4);
    Rgb rgb;
    rfb::pixelToRgb(parsed("rgb565"), source.pb.getPixel(rfb::Point(5, 3)), rgb);
    EXPECT_EQ(pixels[2 * stride + 3], rfb::rgbToPixel(parsed("rgb888"), rgb));
}

TEST(PixelConversion, ChannelsScaleToTheFullRangeAndBack) {
    Rgb rgb;
    rfb::pixelToRgb(parsed("rgb565"), 0xF800, rgb);
    EXPECT_EQ(rgb, (Rgb{255, 0, 0}));
    EXPECT_EQ(rfb::rgbToPixel(parsed("rgb888"), rgb), 0xFF0000u);
    EXPECT_EQ(rfb::rgbToPixel(bigEndian(parsed("rgb565")), Rgb{255, 0, 0}), 0x00F8u);
    PixelFormat zeroGreen(32, 16, false, true, 255, 0, 255, 16, 32, 0);
    rfb::pixelToRgb(zeroGreen, 0xFFFFFFFF, rgb);
    EXPECT_EQ(rgb, (Rgb{255, 0, 255})) << "a zero maximum beyond the pixel reads 0";
}

TEST(ColorCube, IndicesLevelsAndColoursBeyondTheCube) {
    rfb::ColorCubeOrth cube(6, 6, 6);
    EXPECT_EQ(cube.findNearest(Rgb{255, 0, 128}), 183);
    Rgb rgb;
    cube.lookup(183, rgb);
    EXPECT_EQ(rgb, (Rgb{255, 0, 153}));
    cube.lookup(216, rgb);
    EXPECT_EQ(rgb, Rgb()) << "8-bit pixels beyond the cube are black";
    rfb::ColorCubeOrth flat(1, 2, 1);
    flat.lookup(1, rgb);
    EXPECT_EQ(rgb, (Rgb{0, 255, 0})) << "a single-level channel reads 0";
    rfb::ColorCubePlusTable allocated(2, 2, 2);
    allocated.setPixel(7, 99);
    EXPECT_EQ(allocated.findNearest(Rgb{200, 200, 200}), 99);
    EXPECT_DEATH(allocated.lookup(0, rgb), "Assertion 'false' failed");
}

} // namespace
