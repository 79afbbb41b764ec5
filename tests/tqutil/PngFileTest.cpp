// PNG decoding against a reference in Python (pypng) for every colour type, depth, transparency
// and interlacing, and the failures of damaged, cut and oversized files.
#include "support/pngBytes.h"

#include "support/TemporaryDirectory.h"
#include "support/fileContents.h"
#include "support/raisedBy.h"

#include <rfb/ManagedPixelBuffer.h>
#include <tqutil/PngFile.h>
#include <tqutil/builtinResources.h>
#include <tqutil/imageExceptions.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::uint32_t> decoded(const std::string& bytes, bool premultiply) {
    tqutil::PngFile png(bytes.size(), bytes.data(), premultiply, "test");
    rfb::ManagedPixelBuffer pb(&png);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < pb.height(); ++y)
        for (int x = 0; x < pb.width(); ++x)
            pixels.push_back(pb.getPixel(rfb::Point(x, y)));
    return pixels;
}

std::string decodeFailure(const std::string& bytes) {
    return testsupport::raisedBy<tqutil::PngException>([&] { decoded(bytes, true); }).message;
}

TEST(PngFile, DecodesEveryColourTypeDepthTransparencyAndInterlacingLikeTheReference) {
    testsupport::TemporaryDirectory directory;
    std::string command =
        "/usr/bin/python3 " QV_TEST_DATA_DIR "/pngReference.py " + directory.path();
    ASSERT_EQ(std::system(command.c_str()), 0) << "needs python3-png";
    std::ifstream manifest(directory.file("cases.txt"));
    std::string name, format;
    int width = 0, height = 0, cases = 0;
    while (manifest >> name >> format >> width >> height) {
        SCOPED_TRACE(name);
        ++cases;
        std::string bytes = testsupport::readFile(directory.file(name + ".png"));
        tqutil::PngFile png(bytes.size(), bytes.data(), false, name.c_str());
        EXPECT_EQ(png.getSize(), rfb::Point(width, height));
        char text[rfb::PixelFormat::TextCapacity] = "";
        png.getPf().print(text);
        EXPECT_EQ(std::string(text), "depth " + std::string(format == "rgb888" ? "24" : "32") +
                                         " (32 bpp) little-endian " +
                                         (format == "rgb888" ? "rgb888" : "argb8888"));
        std::istringstream expectedText(testsupport::readFile(directory.file(name + ".pixels")));
        std::vector<std::uint32_t> expected;
        for (std::string word; expectedText >> word;)
            expected.push_back(std::uint32_t(std::stoul(word, nullptr, 16)));
        std::size_t count = std::size_t(width) * std::size_t(height);
        ASSERT_EQ(expected.size(), 2 * count);
        EXPECT_EQ(decoded(bytes, false), std::vector(expected.begin(), expected.begin() + count));
        EXPECT_EQ(decoded(bytes, true), std::vector(expected.begin() + count, expected.end()));
    }
    EXPECT_EQ(cases, 48);
}

TEST(PngFile, LoadsAgainFromTheStart) {
    auto icon = tqutil::getResource("statusError@2x.png");
    tqutil::PngFile png(icon->size, icon->bytes, true, "statusError@2x");
    rfb::ManagedPixelBuffer first(&png), second(&png);
    for (int i = 0; i < 96; ++i)
        EXPECT_EQ(first.getPixel(rfb::Point(i, i)), second.getPixel(rfb::Point(i, i)));
}

TEST(PngFile, DamagedFilesFailWithLibpngsTextAndTheImageName) {
    std::string good = tqutiltest::rgbPng(3, 2,
                                          std::string("\0\1\2\3\4\5\6\7\10\11", 10) +
                                              std::string("\0\1\2\3\4\5\6\7\10\11", 10));
    ASSERT_EQ(decoded(good, true).size(), 6u);
    // Everything up to the image data's last byte is needed; the trailer is never read.
    for (std::size_t cut = 0; cut + 16 < good.size(); ++cut)
        EXPECT_EQ(decodeFailure(good.substr(0, cut)), "Bad PNG data: test") << cut;
    std::string badSignature = good;
    badSignature[1] = 'Q';
    EXPECT_EQ(decodeFailure(badSignature), "Not a PNG file: test");
    std::string badCrc = good;
    badCrc[8 + 8 + 13] ^= 1;
    EXPECT_EQ(decodeFailure(badCrc), "IHDR: CRC error: test");
    std::string badData = tqutiltest::rgbPng(3, 2, std::string(4, '\7'));
    EXPECT_NE(decodeFailure(badData), "<no exception>");
}

TEST(PngFile, RefusesInTheHeaderSidesAbove32767AndMorePixelsThanTheFileCanHold) {
    EXPECT_EQ(decodeFailure(tqutiltest::rgbPng(1, 32768)), "Invalid IHDR data: test");
    EXPECT_EQ(decodeFailure(tqutiltest::rgbPng(32768, 1)), "Invalid IHDR data: test");
    std::string tiny = tqutiltest::rgbPng(30000, 30000);
    EXPECT_LT(tiny.size(), 100u);
    EXPECT_EQ(
        testsupport::raisedBy([&] { tqutil::PngFile(tiny.size(), tiny.data(), true); }).message,
        "Bad PNG data: <unknown>");
    std::string widest = tqutiltest::rgbPng(32767, 1, std::string(1 + 3 * 32767, 0));
    EXPECT_EQ(tqutil::PngFile(widest.size(), widest.data(), false).getSize(), rfb::Point(32767, 1));
}

} // namespace
