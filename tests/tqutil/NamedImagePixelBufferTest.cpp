// Named images: variant choice by ppmm, scaling, the cache, dark-background variants, and
// failures that leave an empty image behind and are cached like any other entry.
#include "support/pngBytes.h"
#include "support/ppmmSetting.h"

#include "support/LogCapture.h"
#include "support/raisedBy.h"

#include <plat/SysColors.h>
#include <tqutil/NamedImagePixelBuffer.h>
#include <tqutil/PngFile.h>
#include <tqutil/builtinResources.h>

#include <gtest/gtest.h>

#include <list>
#include <string>

namespace {

bool darkDesktop = false;

class TestColours : public plat::SysColors {
public:
    bool isDarkBackground() override { return darkDesktop; }
};

// Registers a resource whose bytes stay until the tests have ended.
void registerBytes(const char* name, std::string bytes) {
    static std::list<std::string> kept;
    kept.push_back(std::move(bytes));
    tqutil::registerResource(name, kept.back().size(), kept.back().data());
}

std::string resourceBytes(const char* name) {
    auto resource = tqutil::getResource(name);
    return {reinterpret_cast<const char*>(resource->bytes), resource->size};
}

std::string blackPng(int width, int height) {
    return tqutiltest::rgbPng(std::uint32_t(width), std::uint32_t(height),
                              std::string(std::size_t(1 + 3 * width) * std::size_t(height), 0));
}

class NamedImages : public testing::Test {
protected:
    static void SetUpTestSuite() {
        plat::SysColors::install(std::make_unique<TestColours>());
        std::string error = resourceBytes("statusError@2x.png");
        registerBytes("cutTest@2x.png", error.substr(0, error.size() / 2));
        registerBytes("hugeTest.png", tqutiltest::rgbPng(30000, 30000));
        registerBytes("darkTest.png", blackPng(8, 8));
        registerBytes("darkTest_darkbg.png", blackPng(16, 16));
        registerBytes("mixedTest.png", blackPng(10, 10));
        registerBytes("mixedTest@2x.png", blackPng(30, 30));
        registerBytes("sizedTest32x32.png", blackPng(30, 30));
    }
    void TearDown() override { darkDesktop = false; }

    tqutiltest::PpmmSetting ppmm{4};
};

TEST_F(NamedImages, ChoosesTheVariantForPpmmAndScalesItToTheRequest) {
    auto icon = tqutil::getNamedImage("statusError", {32, 32});
    EXPECT_EQ(icon->getSize(), rfb::Point(32, 32));
    EXPECT_EQ(icon->getPf().alphaMax, 255);
    EXPECT_EQ(icon->getPixel({16, 5}) >> 24, 255u) << "opaque inside the badge";
    EXPECT_EQ(icon->getPixel({0, 0}), 0u) << "transparent, premultiplied, in the corner";
    EXPECT_EQ(tqutil::getNamedImage("statusError", {0, 0})->getSize(), rfb::Point(48, 48));
    EXPECT_EQ(tqutil::getNamedImage("statusPrivate", {0, 0})->getSize(), rfb::Point(49, 49));

    tqutiltest::PpmmSetting doubled(8);
    auto info = tqutil::getNamedImage("statusInfo", {0, 0});
    std::string bytes = resourceBytes("statusInfo@2x.png");
    tqutil::PngFile png(bytes.size(), bytes.data(), true);
    rfb::ManagedPixelBuffer direct(&png);
    ASSERT_EQ(info->getSize(), rfb::Point(96, 96));
    for (int i = 0; i < 96; ++i)
        ASSERT_EQ(info->getPixel({i, 95 - i}), direct.getPixel({i, 95 - i})) << "unscaled";
}

TEST_F(NamedImages, RequestsForTheSameNameAndSizeShareOneImage) {
    auto natural = tqutil::getNamedImage("statusWarning", {0, 0});
    EXPECT_EQ(tqutil::getNamedImage("statusWarning", {0, 0}), natural);
    EXPECT_EQ(tqutil::getNamedImage("statusWarning", {48, 48}), natural);
    EXPECT_NE(tqutil::getNamedImage("statusWarning", {24, 24}), natural);
}

TEST_F(NamedImages, FailuresGiveEmptyImagesThatAreCachedForTheirOwnRequestOnly) {
    testsupport::LogCapture log("NamedImagePixelBuffer:stderr:100");
    auto missing = tqutil::getNamedImage("nosuchTest", {32, 32});
    EXPECT_EQ(tqutil::getNamedImage("nosuchTest", {32, 32}), missing);
    EXPECT_EQ(missing->getSize(), rfb::Point(0, 0));
    EXPECT_EQ(log.count("[NamedImageNotFound] Bad image name 'nosuchTest'"), 1);
    EXPECT_NE(tqutil::getNamedImage("nosuchTest", {0, 0}), missing);
    EXPECT_EQ(log.count("Bad image name 'nosuchTest'"), 2);

    // A failure after the buffer was sized leaves no half-decoded image.
    auto cut = tqutil::getNamedImage("cutTest", {32, 32});
    EXPECT_EQ(cut->getSize(), rfb::Point(0, 0));
    EXPECT_TRUE(log.contains("[PngException] Bad PNG data: cutTest@2x"));
    rfb::ManagedPixelBuffer pb;
    EXPECT_EQ(testsupport::raisedBy([&] {
                  tqutil::loadNamedImage(&pb, "cutTest", {48, 48});
              }).type,
              "PngException");
    EXPECT_EQ(pb.getSize(), rfb::Point(0, 0));
    EXPECT_EQ(testsupport::raisedBy([&] {
                  tqutil::loadNamedImage(&pb, "hugeTest", {0, 0});
              }).message,
              "Bad PNG data: hugeTest");
    EXPECT_EQ(pb.getSize(), rfb::Point(0, 0));
}

TEST_F(NamedImages, VariantsOfDifferentSizesAreLoggedAsErrors) {
    testsupport::LogCapture log("NamedImagePixelBuffer:stderr:0");
    {
        // At ppmm 8 the plain 10 x 10 image counts as 20 x 20, the 30 x 30 "@2x" one as 30 x 30.
        tqutiltest::PpmmSetting doubled(8);
        EXPECT_EQ(tqutil::getNamedImage("mixedTest", {0, 0})->getSize(), rfb::Point(0, 0));
        EXPECT_TRUE(log.contains(
            "[NamedImageBadSize] Badly sized image 'mixedTest': @2x/@1x images differ"));
    }
    EXPECT_EQ(tqutil::getNamedImage("sizedTest", {32, 32})->getSize(), rfb::Point(0, 0));
    EXPECT_TRUE(log.contains("[NamedImageBadSize] Badly sized image 'sizedTest32x32'"));
    EXPECT_EQ(tqutil::getNamedImage("mixedTest", {8, 8})->getSize(), rfb::Point(8, 8));
    EXPECT_EQ(tqutil::getNamedImage("mixedTest", {20, 20})->getSize(), rfb::Point(20, 20));
}

TEST_F(NamedImages, ADarkDesktopPrefersDarkVariantsWhereTheyExist) {
    testsupport::LogCapture log("NamedImagePixelBuffer:stderr:100");
    darkDesktop = true;
    EXPECT_EQ(tqutil::getNamedImage("darkTest", {0, 0})->getSize(), rfb::Point(16, 16));
    EXPECT_EQ(tqutil::getNamedImage("statusQuestion", {32, 32})->getSize(), rfb::Point(32, 32));
    EXPECT_FALSE(log.contains("_darkbg")) << "the missing dark variant is not reported";
    darkDesktop = false;
    EXPECT_EQ(tqutil::getNamedImage("darkTest", {0, 0})->getSize(), rfb::Point(8, 8));
}

} // namespace
