// The font cache over the built-in resources and the choice of font by size, weight and ppmm.
#include "support/fontFile.h"
#include "support/ppmmSetting.h"

#include "support/raisedBy.h"

#include <tqutil/builtinResources.h>
#include <tqutil/fonts.h>

#include <gtest/gtest.h>

#include <string>

namespace {

plat::Markup::Style style(int size, int weight) {
    plat::Markup::Style s;
    s.size = size;
    s.weight = weight;
    return s;
}

TEST(Fonts, TheCacheLoadsEachFontOnceAndReportsWhatFailed) {
    auto first = tqutil::getFont("helv16");
    EXPECT_EQ(tqutil::getFont("helv16"), first);
    EXPECT_EQ(first->height(), 16);
    EXPECT_EQ(testsupport::raisedBy([] { tqutil::getFont("helvB21"); }).message,
              "Failed to read font helvB21: resource not found");

    static const std::string truncated = [] {
        std::string gz(reinterpret_cast<const char*>(tqutil::getResource("helvB15.gz")->bytes),
                       tqutil::getResource("helvB15.gz")->size);
        return gz.substr(0, gz.size() / 2);
    }();
    tqutil::registerResource("cutFont.gz", truncated.size(), truncated.data());
    EXPECT_TRUE(testsupport::raisedBy([] {
                    tqutil::getFont("cutFont");
                }).startsWith("Failed to read font cutFont: "));
    // "abcdefgh", gzip-compressed.
    static const char notAFont[] = "\x1F\x8B\x08\x00\x00\x00\x00\x00\x02\x03\x4B\x4C\x4A\x4E"
                                   "\x49\x4D\x4B\xCF\x00\x00\x50\x2A\xEF\xAE\x08\x00\x00\x00";
    tqutil::registerResource("notAFont.gz", sizeof notAFont - 1, notAFont);
    EXPECT_EQ(testsupport::raisedBy([] { tqutil::getFont("notAFont"); }).message,
              "Failed to read font notAFont: Bad font data");
}

TEST(Fonts, SelectionScalesBySizeAndPpmmAndFallsBackFromMissingFaces) {
    struct Case {
        int ppmm, size, weight;
        const char* expected;
    } cases[] = {
        {4, 120, 400, "helv15"},  {4, 121, 400, "helv16"}, {4, 240, 400, "helv21"},
        {4, 120, 550, "helvB15"}, {4, 120, 549, "helv15"}, {4, 121, 700, "helvB16"},
        {8, 120, 700, "helvB16"}, {8, 120, 400, "helv21"}, {1, 960, 700, "helvB16"},
    };
    for (const Case& c : cases) {
        tqutiltest::PpmmSetting ppmm(c.ppmm);
        EXPECT_EQ(tqutil::selectFont(style(c.size, c.weight)), tqutil::getFont(c.expected))
            << c.ppmm << " " << c.size << " " << c.weight;
    }
}

} // namespace
