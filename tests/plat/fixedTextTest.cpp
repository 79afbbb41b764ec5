// Bounded appends into fixed buffers never split a UTF-8 character.
#include <plat/fixedText.h>

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(BoundedAppend, CutsOnCharacterBoundaries) {
    using Case = std::tuple<const char*, const char*, bool>;
    // Capacity 8 after "ab" leaves room for five bytes.
    for (auto [source, result, complete] :
         {Case{"cdefg", "abcdefg", true}, Case{"cdefgh", "abcdefg", false},
          Case{"cdef\xC3\xA9", "abcdef", false},
          Case{"cd\xE2\x82\xAC\xE2\x82\xAC", "abcd\xE2\x82\xAC", false},
          Case{"\xF0\x9F\x98\x80\xF0\x9F\x98\x80", "ab\xF0\x9F\x98\x80", false},
          Case{"c\xF0\x9F\x98\x80", "abc\xF0\x9F\x98\x80", true}}) {
        char buffer[8] = "ab";
        EXPECT_EQ(plat::boundedAppend(buffer, sizeof buffer, source), complete) << source;
        EXPECT_STREQ(buffer, result);
    }
}

TEST(BoundedAppendf, RepairsACutCharacter) {
    char buffer[6] = "";
    EXPECT_FALSE(
        plat::boundedAppendf(buffer, sizeof buffer, "%s%d", "\xE2\x82\xAC\xE2\x82\xAC", 7));
    EXPECT_STREQ(buffer, "\xE2\x82\xAC");
    char roomy[16] = "n=";
    EXPECT_TRUE(plat::boundedAppendf(roomy, sizeof roomy, "%d", 42));
    EXPECT_STREQ(roomy, "n=42");
}

} // namespace
