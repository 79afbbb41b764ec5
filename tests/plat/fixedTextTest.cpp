// Bounded appends into fixed buffers never split a UTF-8 character.
#include <plat/fixedText.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

TEST(BoundedAppend, CutsOnCharacterBoundaries) {
    struct Case {
        const char* source;
        const char* result;
        bool complete;
    };
    // Capacity 8 after "ab" leaves room for five bytes.
    for (Case c : {Case{"cdefg", "abcdefg", true}, Case{"cdefgh", "abcdefg", false},
                   Case{"cdef\xC3\xA9", "abcdef", false},
                   Case{"cd\xE2\x82\xAC\xE2\x82\xAC", "abcd\xE2\x82\xAC", false},
                   Case{"\xF0\x9F\x98\x80\xF0\x9F\x98\x80", "ab\xF0\x9F\x98\x80", false},
                   Case{"c\xF0\x9F\x98\x80", "abc\xF0\x9F\x98\x80", true}}) {
        char buffer[8] = "ab";
        EXPECT_EQ(plat::boundedAppend(buffer, sizeof buffer, c.source), c.complete) << c.source;
        EXPECT_STREQ(buffer, c.result);
    }
}

TEST(BoundedAppend, HonoursMaxLenAndNull) {
    char buffer[16] = "x";
    EXPECT_TRUE(plat::boundedAppend(buffer, sizeof buffer, "abcdef", 3));
    EXPECT_TRUE(plat::boundedAppend(buffer, sizeof buffer, nullptr));
    EXPECT_STREQ(buffer, "xabc");
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

TEST(FixedText, CopyLengthAndDuplicate) {
    char buffer[4];
    EXPECT_EQ(plat::boundedCopy(buffer, "abcdef", sizeof buffer), 6u);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(plat::safeStrlen(nullptr), 0u);
    EXPECT_EQ(plat::safeStrnlen("abcdef", 2), 2u);
    EXPECT_EQ(plat::strDup(nullptr), nullptr);
    std::unique_ptr<char[]> copy(plat::strDup("abcdef", 4));
    EXPECT_STREQ(copy.get(), "abcd");
}

} // namespace
