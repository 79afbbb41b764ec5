// Writing into pixel buffers over caller memory: clipping at every edge for every pixel size,
// the 24-bit byte order, addressing and views.
#include <rfb/FullFramePixelBuffer.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace {

using rfb::FullFramePixelBuffer;
using rfb::PixelFormat;
using rfb::Point;
using rfb::Rect;

// The buffer lies at 10,20 so that its own coordinates differ from offsets into its memory.
const Rect Area(10, 20, 18, 26);

PixelFormat formatOf(int bpp) {
    return PixelFormat(bpp, bpp == 32 ? 24 : bpp, false, true, 255, 255, 255, 16, 8, 0);
}

std::uint32_t maskOf(int bpp) {
    return bpp == 32 ? 0xFFFFFFFFu : (1u << bpp) - 1;
}

// Rectangles that cross each edge, lie inside, cover everything or miss the buffer.
const Rect Crossing[] = {{7, 22, 12, 24},  {12, 17, 15, 22}, {16, 21, 30, 23}, {11, 25, 14, 40},
                         {0, 0, 100, 100}, {12, 21, 14, 23}, {30, 30, 40, 40}};

// Applies an operation to every crossing rectangle and checks each pixel against the model,
// which gives the value of a pixel inside r, or nothing where the old pixel stays.
using Model = std::function<std::optional<std::uint32_t>(int x, int y, const Rect& r)>;

void checkEveryEdge(int bpp,
                    const std::function<void(FullFramePixelBuffer&, const Rect&)>& operation,
                    const Model& model) {
    for (const Rect& r : Crossing) {
        std::vector<std::uint8_t> memory(std::size_t(Area.area()) * std::size_t(bpp / 8), 0x5A);
        FullFramePixelBuffer pb(formatOf(bpp), Area, nullptr, memory.data());
        operation(pb, r);
        std::uint32_t background = 0x5A5A5A5Au & maskOf(bpp);
        for (int y = Area.tl.y; y < Area.br.y; ++y)
            for (int x = Area.tl.x; x < Area.br.x; ++x) {
                std::optional<std::uint32_t> inside;
                if (r.contains(Point(x, y)))
                    inside = model(x, y, r);
                ASSERT_EQ(pb.getPixel(Point(x, y)), inside.value_or(background) & maskOf(bpp))
                    << bpp << " bpp at " << x << "," << y << " for " << rfb::RectText(r).c_str();
            }
    }
}

class EveryPixelSize : public testing::TestWithParam<int> {};

TEST_P(EveryPixelSize, FillRectWritesOnlyTheClippedRectangle) {
    checkEveryEdge(
        GetParam(), [](FullFramePixelBuffer& pb, const Rect& r) { pb.fillRect(r, 0xC0FFEE42); },
        [](int, int, const Rect&) { return 0xC0FFEE42u; });
}

TEST_P(EveryPixelSize, ImageRectCopiesTheMatchingPartOfTheSource) {
    int bpp = GetParam();
    auto valueAt = [](int x, int y, const Rect& r) {
        return std::uint32_t((y - r.tl.y) * 1000 + (x - r.tl.x)) * 0x10101u;
    };
    checkEveryEdge(
        bpp,
        [&](FullFramePixelBuffer& pb, const Rect& r) {
            int srcStride = r.width() + 3;
            std::vector<std::uint8_t> source(std::size_t(srcStride * r.height() * bpp / 8));
            FullFramePixelBuffer src(formatOf(bpp), r, nullptr, source.data(), srcStride);
            for (int y = r.tl.y; y < r.br.y; ++y)
                for (int x = r.tl.x; x < r.br.x; ++x)
                    src.setPixel(Point(x, y), valueAt(x, y, r));
            pb.imageRect(r, source.data(), srcStride);
        },
        valueAt);
}

TEST_P(EveryPixelSize, MaskRectCountsMaskColumnsFromTheRectanglesLeft) {
    constexpr int MaskX = 3;
    auto strideFor = [](const Rect& r) { return (MaskX + r.width() + 7) / 8 + 1; };
    auto bitSet = [](int x, int y, const Rect& r) {
        return ((y - r.tl.y) * 7 + MaskX + (x - r.tl.x)) % 3 == 0;
    };
    checkEveryEdge(
        GetParam(),
        [&](FullFramePixelBuffer& pb, const Rect& r) {
            int stride = strideFor(r);
            std::vector<std::uint8_t> mask(std::size_t(stride * r.height()));
            for (int y = r.tl.y; y < r.br.y; ++y)
                for (int x = r.tl.x; x < r.br.x; ++x)
                    if (bitSet(x, y, r)) {
                        int bit = MaskX + (x - r.tl.x);
                        mask[std::size_t((y - r.tl.y) * stride + bit / 8)] |=
                            std::uint8_t(0x80 >> (bit % 8));
                    }
            pb.maskRect(r, 0xABCDEF, mask.data(), stride, MaskX);
        },
        [&](int x, int y, const Rect& r) -> std::optional<std::uint32_t> {
            if (!bitSet(x, y, r))
                return std::nullopt;
            return 0xABCDEFu;
        });
}

INSTANTIATE_TEST_SUITE_P(Bpp, EveryPixelSize, testing::Values(8, 16, 24, 32));

TEST(FullFramePixelBufferLayout, TwentyFourBitPixelsAreStoredLeastSignificantByteFirst) {
    std::uint8_t memory[6] = {};
    FullFramePixelBuffer pb(formatOf(24), Rect(0, 0, 2, 1), nullptr, memory);
    pb.setPixel(Point(1, 0), 0x123456);
    pb.fillRect(Rect(0, 0, 1, 1), 0xABCDEF);
    const std::uint8_t expected[6] = {0xEF, 0xCD, 0xAB, 0x56, 0x34, 0x12};
    EXPECT_EQ(std::vector<std::uint8_t>(memory, memory + 6),
              std::vector<std::uint8_t>(expected, expected + 6));
    EXPECT_EQ(pb.getPixel(Point(1, 0)), 0x123456u);
}

TEST(FullFramePixelBufferLayout, ViewsShareTheSourcePixelsInCoordinatesOfTheirOwn) {
    std::vector<std::uint32_t> memory(std::size_t(Area.area()));
    FullFramePixelBuffer pb(formatOf(32), Area, nullptr,
                            reinterpret_cast<std::uint8_t*>(memory.data()));
    FullFramePixelBuffer view(pb, Rect(16, 18, 30, 22));
    EXPECT_EQ(view.getRect(), Rect(0, 2, 2, 4));
    view.setPixel(Point(1, 3), 77);
    EXPECT_EQ(pb.getPixel(Point(17, 21)), 77u);
    EXPECT_EQ(view.getStride(), Area.width());
}

TEST(FullFramePixelBufferLayout, EmptyRectanglesGiveNullAndOthersMustLieInside) {
    std::vector<std::uint32_t> memory(std::size_t(Area.area()));
    FullFramePixelBuffer pb(formatOf(32), Area, nullptr,
                            reinterpret_cast<std::uint8_t*>(memory.data()));
    int stride = 0;
    EXPECT_EQ(pb.getPixelsRW(Rect(500, 500, 500, 600), &stride), nullptr);
    EXPECT_EQ(stride, 8);
    EXPECT_EQ(pb.getPixelsRW(Rect(11, 22, 12, 23), nullptr),
              reinterpret_cast<std::uint8_t*>(memory.data() + 17));
    EXPECT_DEATH(pb.getPixelsRW(Rect(9, 20, 12, 23), nullptr),
                 "Assertion 'rect.encloses\\(r\\)' failed at .*: getPixelsRW out of bounds: "
                 "9,20 to 12,23 outside 10,20 to 18,26");
}

} // namespace
