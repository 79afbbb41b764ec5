// The strict UTF-8 codec, repair, clipping and ISO-8859-1 conversions.
#include <plat/utf8.h>

#include <plat/Exception.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>

namespace {

using testsupport::raisedBy;

struct DecodeCase {
    const char* bytes;
    int codePoint;
    int length;
    // Bytes the decoder may look at; -1 for all of them.
    int available = -1;
};

TEST(Utf8Decode, AcceptsShortestFormsOfPermittedCodePointsAndGivesTheExtentOfInvalidOnes) {
    for (DecodeCase c : {
             DecodeCase{"A", 'A', 1}, DecodeCase{"\xC2\x80", 0x80, 2},
             DecodeCase{"\xE0\xA0\x80", 0x800, 3}, DecodeCase{"\xEF\xB7\x8F", 0xFDCF, 3},
             DecodeCase{"\xF0\x90\x80\x80", 0x10000, 4},
             DecodeCase{"\xF4\x8F\xBF\xBD", 0x10FFFD, 4},
             DecodeCase{"\xED\xA0\x80", -1, 3},     // surrogate U+D800
             DecodeCase{"\xC0\xAF", -1, 2},         // overlong "/"
             DecodeCase{"\xEF\xBF\xBF", -1, 3},     // U+FFFF
             DecodeCase{"\xEF\xB7\x90", -1, 3},     // U+FDD0
             DecodeCase{"\xF4\x90\x80\x80", -1, 4}, // above U+10FFFF
             DecodeCase{"\x80", -1, 1},             // stray continuation
             DecodeCase{"\xF8\x88\x80\x80\x80", -1, 1},
             DecodeCase{"\xE2\x82"
                        "A",
                        -1, 2},                    // missing continuation
             DecodeCase{"\xE2\x82\xAC", -1, 2, 2}, // never reads beyond the available bytes
         }) {
        int length = 0;
        std::size_t available = c.available < 0 ? std::strlen(c.bytes) : std::size_t(c.available);
        EXPECT_EQ(plat::decodeUtf8(c.bytes, available, length), c.codePoint) << c.bytes;
        EXPECT_EQ(length, c.length) << c.bytes;
    }
}

TEST(Utf8Encode, RoundTripsAtEveryLengthBoundaryAndRejectsValuesOutsideUnicode) {
    char bytes[plat::MaxUtf8SequenceLength];
    for (int codePoint : {0, 0x7F, 0x80, 0x7FF, 0x800, 0xFFFD, 0x10000, 0x10FFFD}) {
        int written = plat::encodeUtf8(codePoint, bytes);
        int length = 0;
        EXPECT_EQ(plat::decodeUtf8(bytes, std::size_t(written), length), codePoint);
        EXPECT_EQ(length, written);
    }
    for (int codePoint : {0x110000, -1}) {
        EXPECT_EQ(raisedBy([&] { plat::encodeUtf8(codePoint, bytes); }).message,
                  "Unicode out of range");
    }
}

// A text, a byte limit (-1 for none) and the expected result.
using Case = std::tuple<const char*, int, const char*>;

TEST(Utf8Sanitise, ReplacesEachBrokenCharacterOnceAndStopsBeforeACharacterThatDoesNotFit) {
    for (auto [text, limit, result] :
         {Case{"a\xC3z", -1, "a\uFFFDz"}, Case{"\xE2\x82!", -1, "\uFFFD!"},
          Case{"\x80\x80", -1, "\uFFFD\uFFFD"}, Case{"fine \u20AC", -1, "fine \u20AC"},
          Case{"ab\u20AC\xC3z", 4, "ab"}, Case{"ab\u20AC\xC3z", 7, "ab\u20AC"},
          Case{"ab\u20AC\xC3z", 8, "ab\u20AC\uFFFD"}})
        EXPECT_STREQ(plat::sanitiseUtf8(text, nullptr, limit).get(), result)
            << text << " in " << limit;
    EXPECT_TRUE(plat::sanitiseUtf8(nullptr).isNull());
    const char withEnd[] = "abc";
    EXPECT_STREQ(plat::sanitiseUtf8(withEnd, withEnd + 2).get(), "ab");
}

TEST(Utf8Clip, MovesRangesOntoCharacterBoundaries) {
    const char* text = "a\u20ACb\u00FC"; // bytes: a E2 82 AC b C3 BC
    using Range = std::tuple<int, int, int, int>;
    for (auto [givenStart, givenLength, clippedStart, clippedLength] :
         {Range{0, 2, 0, 4}, Range{2, 3, 4, 1}, Range{1, -1, 1, 6}, Range{3, 0, 4, 0},
          Range{5, 1, 5, 2}, Range{7, -1, 7, 0}}) {
        int start = givenStart;
        int length = givenLength;
        plat::clipToCharacters(text, start, length);
        EXPECT_EQ(std::pair(start, length), std::pair(clippedStart, clippedLength))
            << givenStart << "+" << givenLength;
    }
}

TEST(Latin1, ConversionsMapEveryByteAndReplaceWhatLatin1Lacks) {
    for (auto [text, limit, result] :
         {Case{"caf\u00E9 \u20AC!", -1, "caf\xE9 \x80!"}, Case{"x\u4E2Dy", -1, "x?y"},
          Case{"ab\xE2\x82\xAC", 4, "ab??"}, Case{"ab\xC3", -1, "ab?"}, Case{"ab\xC3z", -1, "ab"},
          Case{"ok\x80z", -1, "ok"}}) {
        plat::DString converted = plat::utf8ToLatin1(text, limit);
        EXPECT_STREQ(converted.get(), result) << text;
        EXPECT_EQ(converted.length(), int(std::strlen(result)));
    }
    EXPECT_STREQ(plat::latin1ToUtf8("caf\xE9 \x80\xFF").get(), "caf\u00E9 \u20AC\u00FF");
    EXPECT_STREQ(plat::latin1ToUtf8("\x81xyz", 2).get(), "\u0081x");
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all.push_back(char(byte));
    plat::DString utf8 = plat::latin1ToUtf8(all.c_str());
    EXPECT_TRUE(plat::isValidUtf8(utf8.get()));
    EXPECT_EQ(plat::utf8ToLatin1(utf8.get()).get(), all);
}

} // namespace
