// Managed pixel buffers: reallocation, kept contents, adopted memory and sizes beyond 4 GiB.
#include <rfb/ImageLoader.h>
#include <rfb/ManagedPixelBuffer.h>

#include <support/forkedChild.h>

#include <gtest/gtest.h>

#include <new>
#include <sys/resource.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool AddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool AddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool AddressSanitizer = false;
#endif

using rfb::ManagedPixelBuffer;
using rfb::PixelFormat;
using rfb::Point;
using rfb::Rect;

const PixelFormat Rgb888(32, 24, false, true, 255, 255, 255, 16, 8, 0);

// Pixel value from its position, so that moved pixels show.
std::uint32_t valueAt(int x, int y) {
    return std::uint32_t(y * 1000 + x + 1);
}

void paint(ManagedPixelBuffer& pb) {
    for (int y = 0; y < pb.height(); ++y)
        for (int x = 0; x < pb.width(); ++x)
            pb.setPixel(Point(x, y), valueAt(x, y));
}

TEST(ManagedPixelBufferSize, ChangedSizesZeroFillUnlessContentsArePreserved) {
    ManagedPixelBuffer pb;
    pb.setPF(Rgb888);
    pb.setSize(Point(7, 5));
    paint(pb);
    pb.setSize(Point(7, 5));
    EXPECT_EQ(pb.getPixel(Point(6, 4)), valueAt(6, 4)) << "same size keeps the pixels";
    pb.setSize(Point(5, 5));
    EXPECT_EQ(pb.getPixel(Point(4, 4)), 0u);
    EXPECT_EQ(pb.getStride(), 5);
    EXPECT_EQ(pb.capacity(), 7u * 5 * 4) << "shrinking keeps the memory";
}

TEST(ManagedPixelBufferSize, PreservedPixelsSurviveAStrideChangeInTheSameMemory) {
    // Both directions: narrower and taller within the old capacity, then wider again.
    for (Point next : {Point(4, 10), Point(10, 3)}) {
        ManagedPixelBuffer pb;
        pb.setPF(Rgb888);
        pb.setSize(Point(8, 6));
        paint(pb);
        pb.setPreserveContents(true);
        pb.setSize(next);
        for (int y = 0; y < next.y; ++y)
            for (int x = 0; x < next.x; ++x)
                ASSERT_EQ(pb.getPixel(Point(x, y)), x < 8 && y < 6 ? valueAt(x, y) : 0u)
                    << x << "," << y << " after resizing to " << next.x << "x" << next.y;
    }
}

TEST(ManagedPixelBufferSize, NegativeSidesMakeTheBufferEmpty) {
    ManagedPixelBuffer pb;
    pb.setPF(Rgb888);
    pb.setSize(Point(-3, 4));
    EXPECT_TRUE(pb.getRect().isEmpty());
    EXPECT_EQ(pb.sizeBytes(), 0u);
    EXPECT_EQ(pb.capacity(), 0u);
}

TEST(ManagedPixelBufferSize, FormatChangesReallocateAndZeroFill) {
    ManagedPixelBuffer pb;
    pb.setSize(Point(3, 3));
    pb.setPixel(Point(2, 2), 9);
    PixelFormat bigEndianBgr233;
    bigEndianBgr233.bigEndian = true;
    pb.setPF(bigEndianBgr233);
    EXPECT_EQ(pb.getPixel(Point(2, 2)), 9u) << "an equal format changes nothing";
    pb.setPF(Rgb888);
    EXPECT_EQ(pb.getPixel(Point(2, 2)), 0u);
    EXPECT_EQ(pb.sizeBytes(), 36u);
}

TEST(ManagedPixelBufferMemory, AdoptedMemoryIsOwnedAndCanBeHandedBack) {
    ManagedPixelBuffer pb;
    pb.setPF(Rgb888);
    pb.setSize(Point(2, 2));
    auto* memory = new std::uint8_t[64]();
    memory[4] = 42;
    pb.setData(memory, 64, Rect(1, 1, 5, 5));
    EXPECT_EQ(pb.getPixel(Point(2, 1)), 42u);
    EXPECT_EQ(pb.releaseData(), memory);
    EXPECT_EQ(pb.getRect(), Rect(1, 1, 1, 1));
    EXPECT_EQ(pb.capacity(), 0u);
    delete[] memory;
    EXPECT_DEATH(pb.setData(new std::uint8_t[16], 16, Rect(0, 0, 4, 2)),
                 "Assertion 'capacity_ >= sizeBytes\\(\\)' failed");
}

TEST(ManagedPixelBufferMemory, BuffersBeyondTheRegionRangeAreRefused) {
    ManagedPixelBuffer pb;
    EXPECT_DEATH(pb.setSize(Point(40000, 1)), "Assertion 'Rect\\(RgnRect\\(rect\\)\\) == rect'");
}

// 32768 x 32769 pixels at 32 bpp (a buffer reaching from -16384 to the top of the region range)
// take 2^32 + 128 Ki bytes: counted in 32 bits that is a 128 KiB block. Under a 1 GiB
// address-space limit the allocation must fail cleanly instead.
TEST(ManagedPixelBufferMemory, HugeSizesFailWithoutChangingTheBuffer) {
    if (AddressSanitizer)
        GTEST_SKIP() << "the address sanitizer's shadow memory does not fit under the limit";
    int status = testsupport::exitStatusOfForkedChild([] {
        rlimit limit{std::size_t(1) << 30, std::size_t(1) << 30};
        if (setrlimit(RLIMIT_AS, &limit) != 0)
            return 2;
        ManagedPixelBuffer pb;
        pb.setPF(Rgb888);
        const Rect small(-16384, -16384, -16284, -16284);
        pb.setData(new std::uint8_t[40000](), 40000, small);
        pb.setPixel(Point(-16285, -16285), 5);
        pb.setPreserveContents(true);
        try {
            pb.setSize(Point(32768, 32769));
            return 3;
        } catch (const std::bad_alloc&) {
        }
        bool unchanged = pb.getRect() == small && pb.getPixel(Point(-16285, -16285)) == 5 &&
                         pb.capacity() == 40000;
        return unchanged ? 0 : 4;
    });
    EXPECT_EQ(status, 0);
}

class StripesLoader : public rfb::ImageLoader {
public:
    Point getSize() const override { return {3, 2}; }
    PixelFormat getPf() const override { return Rgb888; }
    void load(rfb::WritablePixelBuffer* pb, Point offset) override {
        pb->fillRect(Rect(offset, offset.translate(getSize())), 0x00FF00);
    }
};

TEST(ManagedPixelBufferLoading, ALoaderGivesFormatSizeAndPixels) {
    StripesLoader loader;
    ManagedPixelBuffer pb(&loader);
    EXPECT_TRUE(pb.getPf().equal(Rgb888));
    EXPECT_EQ(pb.getRect(), Rect(0, 0, 3, 2));
    EXPECT_EQ(pb.getPixel(Point(2, 1)), 0x00FF00u);
}

} // namespace
