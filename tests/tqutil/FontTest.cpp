// Measuring, wrapping, alignment, truncation and drawing of text, on a monospaced test font and
// on the built-in "helv15".
#include "support/fontFile.h"

#include <rfb/ManagedPixelBuffer.h>
#include <tqutil/fonts.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using tqutiltest::GlyphRecord;

// Every character 10 pixels wide with an 8 × 6 block of ink 1 pixel in and 2 down; blanks have
// no ink; U+2026 is 6 wide with a 4 × 1 bar on the line's last row. Lines are 10 pixels high.
std::unique_ptr<tqutil::FontKbxBm> monospaced() {
    GlyphRecord block{0, 10, 1, 2, 8, 6};
    GlyphRecord blank{0, 10, 0, 0, 0, 0};
    std::vector<GlyphRecord> records(256, block);
    for (char c : {' ', '\t', '\r'})
        records[std::size_t(c)] = blank;
    records[128 + 0x26] = GlyphRecord{6, 6, 0, 9, 4, 1};
    return tqutiltest::parseFont(
        tqutiltest::fontFile(8, 2, {0x2000}, records, block, std::string(6, '\xFF') + "\xF0"));
}

std::vector<std::string> wrapped(const tqutil::Font& font, const char* text, int width) {
    std::vector<std::string> lines;
    for (const auto& line : font.wrapText(text, width).lines)
        lines.emplace_back(line.begin, line.end);
    return lines;
}

// The ink's bounding box in a 32 bpp buffer, empty when there is none.
rfb::Rect inkBox(rfb::ManagedPixelBuffer& pb) {
    rfb::Rect box;
    for (int y = 0; y < pb.height(); ++y)
        for (int x = 0; x < pb.width(); ++x)
            if (pb.getPixel(rfb::Point(x, y)) != 0)
                box = box.unionBoundary(rfb::Rect(x, y, x + 1, y + 1));
    return box;
}

rfb::ManagedPixelBuffer& clearedBuffer(rfb::ManagedPixelBuffer& pb, int bpp, int w, int h) {
    pb.setPF(rfb::PixelFormat(bpp, bpp == 32 ? 24 : 16, false, true, bpp == 32 ? 255 : 31,
                              bpp == 32 ? 255 : 63, bpp == 32 ? 255 : 31, bpp == 32 ? 16 : 11,
                              bpp == 32 ? 8 : 5, 0));
    pb.setSize(rfb::Point(w, h));
    pb.fillRect(pb.getRect(), 0);
    return pb;
}

TEST(Font, WrapsAfterWhiteSpaceAtLineFeedsAndNeverSplitsAWord) {
    auto font = monospaced();
    using Lines = std::vector<std::string>;
    EXPECT_EQ(wrapped(*font, "aaa bbb", 50), (Lines{"aaa ", "bbb"}));
    EXPECT_EQ(font->wrapText("aaa bbb", 50).width, 40) << "the trailing space counts";
    EXPECT_EQ(wrapped(*font, "aa\tbb\rcc", 30), (Lines{"aa\t", "bb\r", "cc"}));
    EXPECT_EQ(wrapped(*font, "ab\ncd\n", 0), (Lines{"ab", "cd", ""}));
    EXPECT_EQ(wrapped(*font, "aaa bbb ccc", 0), (Lines{"aaa bbb ccc"}));
    EXPECT_EQ(wrapped(*font, "aaaa b", 45), (Lines{"aaaa ", "b"})) << "the word that overflows";
    // After a break the rest of an overlong word stays on one line, without empty lines.
    EXPECT_EQ(wrapped(*font, "a bbbbbbbbbb", 30), (Lines{"a ", "bbbbbbbbbb"}));
    EXPECT_EQ(wrapped(*font, "aa bbbbbb cc", 40), (Lines{"aa ", "bbbbbb ", "cc"}));
    EXPECT_EQ(font->wrapText("aa bbbbbb cc", 40).width, 70);
}

TEST(Font, MeasuresFitsAndFindsBoundariesWithinTheGivenEnd) {
    auto font = monospaced();
    const char* text = "abc";
    EXPECT_EQ(font->textWidth(text), 30);
    EXPECT_EQ(font->textWidth(text, text + 2), 20);
    EXPECT_EQ(font->textWidth("a\0bc"), 10);
    EXPECT_EQ(font->textWidth("\xE2\x80"), 10) << "a cut sequence is one glyph 0";
    EXPECT_EQ(font->fitText(text, 25), text + 2);
    EXPECT_EQ(font->fitText(text, 30), text + 3);
    EXPECT_EQ(font->charAtX(5, text), text) << "exactly half: the boundary before";
    EXPECT_EQ(font->charAtX(6, text), text + 1);
    EXPECT_EQ(font->charAtX(25, text), text + 2);
    EXPECT_EQ(font->charAtX(-3, text), text);
    EXPECT_EQ(font->charAtX(1000, text), text + 3);
    EXPECT_EQ(font->charAtX(1000, text, text + 1), text + 1);
    EXPECT_EQ(font->charAtX(7, text, text), text);
}

TEST(Font, AlignsTheBlockAndEachLineInTheRectangle) {
    auto font = monospaced();
    rfb::ManagedPixelBuffer pb;
    const rfb::Rect rect(10, 20, 110, 80);
    for (int v = 0; v < 3; ++v) {
        for (int h = 0; h < 3; ++h) {
            clearedBuffer(pb, 32, 120, 90);
            // Lines "aaaaaaaaa " (100 wide) and "bb" (20 wide): a block of 100 × 20.
            rfb::Rect block = font->drawTextInRect(&pb, "aaaaaaaaa bb", rect, 0xFFFFFF, h, v);
            EXPECT_EQ(block, rfb::Rect::fromXYWH(10, 20 + 40 * v / 2, 100, 20)) << h << v;
            int secondLine = 10 + 80 * h / 2;
            EXPECT_EQ(inkBox(pb), rfb::Rect(10 + 1, block.tl.y + 2,
                                            std::max(10 + 89, secondLine + 19), block.tl.y + 18));
            EXPECT_NE(pb.getPixel(rfb::Point(secondLine + 1, block.tl.y + 12)), 0u) << h << v;
            EXPECT_EQ(pb.getPixel(rfb::Point(secondLine, block.tl.y + 12)), 0u) << h << v;
        }
    }
}

TEST(Font, TruncatesWithAnEllipsisOnlyWhatDoesNotFit) {
    auto font = monospaced();
    rfb::ManagedPixelBuffer pb;
    clearedBuffer(pb, 32, 100, 30);
    // "abc" (30) and the ellipsis (6) fit in 45 pixels; "abcd" and the ellipsis would not.
    font->drawTextTruncated(&pb, "abcdef", rfb::Rect(0, 0, 45, 30), 0xFFFFFF, 2, 1);
    rfb::Point origin(45 - 36, (30 - 10) / 2);
    EXPECT_EQ(inkBox(pb), rfb::Rect(origin.x + 1, origin.y + 2, origin.x + 34, origin.y + 10));
    clearedBuffer(pb, 32, 100, 30);
    font->drawTextTruncated(&pb, "abcd", rfb::Rect(0, 0, 45, 30), 0xFFFFFF, 0, 0);
    EXPECT_EQ(inkBox(pb), rfb::Rect(1, 2, 39, 8)) << "drawn whole, without an ellipsis";
}

TEST(Font, DrawsGlyphBitmapsClippedAtEveryEdgeAt32And16Bits) {
    auto font = tqutil::getFont("helv15");
    const auto& glyphs = dynamic_cast<const tqutil::FontKbxBm&>(*font);
    const char* text = "H\xC3\xA9\xE2\x82\xAC\xD0\x96g\xFF";
    const std::uint32_t codePoints[] = {'H', 0xE9, 0x20AC, 0x416, 'g', 0xFFFFFFFF};
    const rfb::Point positions[] = {{-7, 3}, {25, 3}, {2, -9}, {2, 12}, {-20, -20}, {3, 2}};
    for (int bpp : {32, 16}) {
        for (rfb::Point pos : positions) {
            rfb::ManagedPixelBuffer drawn, blitted;
            clearedBuffer(drawn, bpp, 40, 20);
            clearedBuffer(blitted, bpp, 40, 20);
            font->drawText(&drawn, text, pos, 0x1234);
            rfb::Point pen = pos;
            for (std::uint32_t c : codePoints) {
                const auto& g = glyphs.glyph(c);
                const std::uint8_t* bits = glyphs.bitmap(g);
                for (int y = 0; y < g.height; ++y)
                    for (int x = 0; x < g.width; ++x) {
                        rfb::Point p(pen.x + g.xOffset + x, pen.y + g.yOffset + y);
                        if (bits[y * ((g.width + 7) / 8) + x / 8] & (0x80 >> (x % 8)) &&
                            blitted.getRect().contains(p))
                            blitted.setPixel(p, 0x1234);
                    }
                pen.x += g.advance;
            }
            std::vector<std::uint32_t> a, b;
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 40; ++x) {
                    a.push_back(drawn.getPixel(rfb::Point(x, y)));
                    b.push_back(blitted.getPixel(rfb::Point(x, y)));
                }
            EXPECT_EQ(a, b) << bpp << " bpp at " << pos.x << "," << pos.y;
        }
    }
}

} // namespace
