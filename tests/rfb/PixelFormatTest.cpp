// Pixel formats: text forms, validity, the wire form and byte-order rewriting.
#include <rfb/PixelFormat.h>

#include <rdr/MemInStream.h>
#include <rdr/MemOutStream.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using rfb::PixelFormat;

std::string textOf(const PixelFormat& pf) {
    char text[PixelFormat::TextCapacity] = "";
    pf.print(text);
    return text;
}

PixelFormat parsed(const char* text) {
    PixelFormat pf;
    EXPECT_TRUE(pf.parse(text)) << text;
    return pf;
}

PixelFormat readFrom(const std::string& record) {
    rdr::MemInStream in(record.data(), int(record.size()));
    PixelFormat pf;
    pf.read(in);
    return pf;
}

TEST(PixelFormatText, ParsedNamesPrintAsThemselves) {
    PixelFormat rgb565 = parsed("RGB565");
    EXPECT_EQ(rgb565.redMax, 31);
    EXPECT_EQ(rgb565.redShift, 11);
    EXPECT_EQ(rgb565.greenMax, 63);
    EXPECT_EQ(rgb565.greenShift, 5);
    EXPECT_EQ(rgb565.blueShift, 0);
    EXPECT_EQ(rgb565.bpp, 16);
    EXPECT_EQ(rgb565.depth, 16);
    EXPECT_TRUE(parsed("bgr233").equal(PixelFormat()));
    EXPECT_EQ(textOf(parsed("rgb888")), "depth 24 (32 bpp) little-endian rgb888");
    EXPECT_EQ(textOf(parsed("bgr555")), "depth 15 (16 bpp) little-endian bgr555");
    EXPECT_EQ(textOf(parsed("pal8")), "depth 8 (8 bpp) colour-map");
    PixelFormat keep;
    for (const char* bad : {"pal9", "pal0", "rgb5650", "rgb56", "rgb505", "xyz565", ""})
        EXPECT_FALSE(keep.parse(bad)) << bad;
    EXPECT_TRUE(keep.equal(PixelFormat()));
}

TEST(PixelFormatText, AlphaLayoutsAndOtherLayoutsPrintTheirFields) {
    EXPECT_EQ(textOf(PixelFormat(32, 32, false, true, 255, 255, 255, 16, 8, 0, 24, 255)),
              "depth 32 (32 bpp) little-endian argb8888");
    EXPECT_EQ(textOf(PixelFormat(32, 32, true, true, 255, 255, 255, 24, 16, 8, 0, 255)),
              "depth 32 (32 bpp) big-endian rgba8888");
    EXPECT_EQ(textOf(PixelFormat(32, 32, false, true, 255, 255, 255, 0, 8, 16, 24, 255)),
              "depth 32 (32 bpp) little-endian abgr8888");
    EXPECT_EQ(textOf(PixelFormat(16, 12, false, true, 15, 15, 15, 0, 4, 8)),
              "depth 12 (16 bpp) little-endian bgr444");
    EXPECT_EQ(textOf(PixelFormat(32, 24, false, true, 255, 127, 255, 16, 8, 0, 24, 3)),
              "depth 24 (32 bpp) little-endian rgb max 255,127,255 shift 16,8,0 alpha max 3 "
              "shift 24");
}

TEST(PixelFormatValidity, ChannelsMustFitThePixel) {
    EXPECT_TRUE(PixelFormat().isValid());
    EXPECT_TRUE(parsed("rgb888").isValid());
    EXPECT_FALSE(PixelFormat(12, 8, false, true, 7, 7, 3, 0, 3, 6).isValid());
    EXPECT_FALSE(PixelFormat(16, 17, false, true, 31, 63, 31, 11, 5, 0).isValid());
    EXPECT_FALSE(PixelFormat(16, 16, false, true, 31, 63, 31, 12, 5, 0).isValid());
    EXPECT_FALSE(PixelFormat(16, 9, false, false, 0, 0, 0, 0, 0, 0).isValid());
    EXPECT_TRUE(PixelFormat(32, 24, false, true, 255, 255, 255, 16, 8, 0, 32, 0).isValid());
}

TEST(PixelFormatEquality, ByteOrderOfEightBitsAndChannelsOfColourMapsDoNotCount) {
    PixelFormat big = PixelFormat();
    big.bigEndian = true;
    EXPECT_TRUE(big.equal(PixelFormat()));
    PixelFormat map1(8, 8, false, false, 1, 2, 3, 4, 5, 6),
        map2(8, 8, true, false, 0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(map1.equal(map2));
    PixelFormat rgb = parsed("rgb565"), bigRgb = rgb;
    bigRgb.bigEndian = true;
    EXPECT_FALSE(rgb.equal(bigRgb));
}

TEST(PixelFormatWire, AlphaIsKeptOnlyWhenTheChannelsMakeUpTheDepth) {
    const PixelFormat argb(32, 32, false, true, 255, 255, 255, 16, 8, 0, 24, 255);
    rdr::MemOutStream out;
    argb.write(out);
    ASSERT_EQ(out.length(), 16);
    std::string record(reinterpret_cast<const char*>(out.data()), 16);
    EXPECT_EQ(record, std::string("\x20\x20\0\x01\0\xff\0\xff\0\xff\x10\x08\0\x18\0\xff", 16));
    EXPECT_TRUE(readFrom(record).equal(argb));

    record[1] = 24;
    PixelFormat dropped = readFrom(record);
    EXPECT_EQ(dropped.alphaMax, 0);
    EXPECT_EQ(dropped.alphaShift, 0);
    EXPECT_EQ(dropped.depth, 24);
    record[2] = 7;
    EXPECT_TRUE(readFrom(record).bigEndian) << "any non-zero byte is true";
}

TEST(PixelFormatByteOrder, ByteAlignedBigEndianFormatsMirrorTheirShifts) {
    PixelFormat big(32, 24, true, true, 255, 255, 255, 16, 8, 0);
    ASSERT_TRUE(big.toLittleEndian());
    EXPECT_FALSE(big.bigEndian);
    EXPECT_EQ(big.redShift, 8);
    EXPECT_EQ(big.greenShift, 16);
    EXPECT_EQ(big.blueShift, 24);

    PixelFormat rgb565 = parsed("rgb565");
    rgb565.bigEndian = true;
    PixelFormat before = rgb565;
    EXPECT_FALSE(rgb565.toLittleEndian());
    EXPECT_TRUE(rgb565.equal(before));
    // A channel in a byte beyond the pixel has no mirror image.
    PixelFormat beyond(16, 16, true, true, 255, 255, 0, 8, 0, 16);
    before = beyond;
    EXPECT_FALSE(beyond.toLittleEndian());
    EXPECT_TRUE(beyond.equal(before));
}

TEST(PixelFormatDepth, ShiftsBeyondThePixelAddNoBits) {
    PixelFormat pf(32, 1, false, true, 255, 255, 255, 16, 8, 0, 200, 255);
    pf.updateDepth();
    EXPECT_EQ(pf.depth, 24);
    pf = PixelFormat(32, 1, false, true, 0, 255, 255, 32, 8, 0);
    pf.updateDepth();
    EXPECT_EQ(pf.depth, 16);
}

} // namespace
