// The built-in font format: parsing, refusal of bad data, page lookup, and the five built-in
// fonts against their header table.
#include "support/fontFile.h"

#include "support/raisedBy.h"

#include <rdr/Exception.h>

#include <gtest/gtest.h>

namespace {

using tqutiltest::fontFile;
using tqutiltest::GlyphRecord;
using tqutiltest::parseFont;

TEST(FontKbxBm, ReadsMetricsRecordsAndExactlyTheBitmapBytesTheGlyphsReach) {
    GlyphRecord a{4, 7, -1, 3, 12, 2};   // 2 bytes × 2 rows from offset 4: ends at 8
    GlyphRecord blank{0, 5, 0, 0, 0, 0}; // no bitmap
    std::vector<GlyphRecord> records(128, blank);
    records['A'] = a;
    std::string bytes = fontFile(12, 3, {}, records, blank, "\x01\x02\x03\x04\xF0\x0F\xAA\x55");
    auto font = parseFont(bytes + "never read");
    EXPECT_EQ(font->height(), 15);
    EXPECT_EQ(font->ascent(), 12);
    EXPECT_EQ(font->bitmapBytes(), 8u);
    EXPECT_EQ(font->charAdvance('A'), 7);
    EXPECT_EQ(font->glyph('A').xOffset, -1);
    EXPECT_EQ(font->bitmap(font->glyph('A'))[0], 0xF0);

    auto missingByte = testsupport::raisedBy([&] { parseFont(bytes.substr(0, bytes.size() - 1)); });
    EXPECT_EQ(missingByte.type, "EndOfStream");
}

TEST(FontKbxBm, RefusesBadHeadersKeysAndBitmapRanges) {
    GlyphRecord blank{0, 5, 0, 0, 0, 0};
    std::string good = fontFile(12, 3, {0x80}, {}, blank, "");
    std::string badMagic = good;
    badMagic[0] = 0x7D;
    GlyphRecord huge{0x3FFFF0, 5, 0, 0, 16, 16};        // ends 16 bytes past 4 MiB
    GlyphRecord wrapping{0xFFFFFFF0u, 5, 0, 0, 16, 16}; // ends at 2^32 + 16, not at 16
    std::string cases[] = {
        badMagic,
        fontFile(12, 3, std::vector<std::uint32_t>(1024, 0x80), {}, blank, ""),
        fontFile(12, 3, {0x81}, {}, blank, ""),
        fontFile(12, 3, {0x110000}, {}, blank, ""),
        fontFile(12, 3, {0xFFFFFFFFu}, {}, blank, ""),
        fontFile(12, 3, {}, {huge}, blank, std::string(0x400010, '\0')),
        fontFile(12, 3, {}, {wrapping}, blank, std::string(16, '\0')),
    };
    for (const std::string& bytes : cases)
        EXPECT_EQ(testsupport::raisedBy([&] { parseFont(bytes); }).message, "Bad font data");
    EXPECT_NO_THROW(parseFont(good));
    EXPECT_NO_THROW(
        parseFont(fontFile(12, 3, std::vector<std::uint32_t>(1023, 0x10FF80), {}, blank, "")));
}

TEST(FontKbxBm, LooksGlyphsUpByPagePositionAndGivesGlyphZeroForAbsentPages) {
    // Keys out of order and repeated: the first position of a key counts.
    auto font = parseFont(fontFile(12, 3, {0x2080, 0x100, 0x2080}, {}, GlyphRecord{}, "ab"));
    EXPECT_EQ(font->glyphIndex('z'), std::uint32_t('z'));
    EXPECT_EQ(font->glyphIndex(0x20AC), 128u * 1 + 0x2C);
    EXPECT_EQ(font->glyphIndex(0x100), 128u * 2);
    EXPECT_EQ(font->glyphIndex(0x3042), 0u);
    EXPECT_EQ(font->glyphIndex(0x180), 0u);
    EXPECT_EQ(font->glyphIndex(0xFFFFFFFFu), 0u);
}

TEST(FontKbxBm, TheBuiltInFontsHaveTheirTableValuesAndEveryGlyphInsideItsData) {
    std::vector<std::uint32_t> common;
    for (std::uint32_t key = 0x80; key <= 0x380; key += 0x80)
        common.push_back(key);
    std::vector<std::uint32_t> wide = common;
    wide.insert(wide.end(), {0x400, 0x480, 0x500});
    for (std::uint32_t key : {0x1E00, 0x1E80, 0x2000, 0x2080, 0x2100, 0x2200}) {
        common.push_back(key);
        wide.push_back(key);
    }
    wide.push_back(0xFF80);
    struct Expected {
        const char* name;
        int ascent, descent;
        const std::vector<std::uint32_t>& keys;
        std::uint32_t euroPosition;
    } fonts[] = {{"helv15.gz", 12, 3, wide, 14},
                 {"helvB15.gz", 12, 3, common, 11},
                 {"helv16.gz", 13, 3, common, 11},
                 {"helvB16.gz", 13, 3, common, 11},
                 {"helv21.gz", 16, 5, common, 11}};
    for (const Expected& expected : fonts) {
        SCOPED_TRACE(expected.name);
        std::string bytes = tqutiltest::gunzippedResource(expected.name);
        ASSERT_GE(bytes.size(), 10u);
        std::vector<std::uint32_t> keys;
        for (std::size_t i = 0; i < expected.keys.size(); ++i)
            keys.push_back(std::uint32_t(std::uint8_t(bytes[10 + 4 * i])) << 24 |
                           std::uint32_t(std::uint8_t(bytes[11 + 4 * i])) << 16 |
                           std::uint32_t(std::uint8_t(bytes[12 + 4 * i])) << 8 |
                           std::uint8_t(bytes[13 + 4 * i]));
        EXPECT_EQ(keys, expected.keys);
        auto font = parseFont(bytes);
        EXPECT_EQ(font->ascent(), expected.ascent);
        EXPECT_EQ(font->height(), expected.ascent + expected.descent);
        EXPECT_EQ(font->glyphCount(), 128 * (expected.keys.size() + 1));
        EXPECT_EQ(font->glyphIndex(0x20AC), 128 * expected.euroPosition + 0x2C);
        for (std::uint32_t i = 0; i < font->glyphCount(); ++i) {
            std::uint32_t codePoint = i < 128 ? i : expected.keys[i / 128 - 1] + i % 128;
            const auto& g = font->glyph(codePoint);
            EXPECT_LE(g.offset + std::uint64_t((g.width + 7) / 8) * g.height, font->bitmapBytes());
        }
    }
}

} // namespace
