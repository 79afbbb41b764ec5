// The small text utilities: affix tests, searching, trimming, grouping, case and hashing.
#include <plat/stringUtil.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

TEST(StringUtil, AffixTestsTreatNullAndEmptyAffixesAsMatching) {
    EXPECT_TRUE(plat::startsWith("config.d", "config"));
    EXPECT_TRUE(plat::startsWith(nullptr, ""));
    EXPECT_FALSE(plat::startsWith(nullptr, "x"));
    EXPECT_TRUE(plat::startsWithNoCase("XTerm-256", "xterm"));
    EXPECT_FALSE(plat::endsWith("exe", ".exe"));
    EXPECT_TRUE(plat::endsWithNoCase("LAUNCHER.EXE", ".exe"));
    EXPECT_TRUE(plat::endsWith(nullptr, nullptr));
}

TEST(StringUtil, EditsInPlace) {
    using Case = std::tuple<void (*)(char*), const char*, const char*>;
    for (auto [edit, given, result] :
         {Case{plat::trimLeft, " \t\r\n x y ", "x y "}, Case{plat::trimRight, "\n", ""},
          Case{plat::trimRight, " x y \t\r\n", " x y"},
          Case{plat::toUpper, "ab\u00E9z", "AB\u00E9Z"}, Case{plat::toLower, "AbC-9", "abc-9"}}) {
        std::string text = given;
        edit(text.data());
        EXPECT_STREQ(text.c_str(), result) << given;
    }
    std::string text = "a-b_c-d";
    plat::removeChars(text.data(), "-_");
    EXPECT_STREQ(text.c_str(), "abcd");
    plat::trimLeft(nullptr);
    plat::trimRight(nullptr);
}

TEST(StringUtil, InsertEveryGroupsCharacters) {
    using Case = std::tuple<const char*, int, const char*>;
    for (auto [given, n, result] :
         {Case{"1234567", 3, "123,456,7"}, Case{"123456", 3, "123,456"},
          Case{"\u00E4\u00F6\u00FC\u00DF", 2, "\u00E4\u00F6,\u00FC\u00DF"},
          Case{"abc", 0, "abc"}}) {
        plat::DString text(given);
        plat::insertEvery(text, ',', n);
        EXPECT_STREQ(text.get(), result) << given;
    }
}

TEST(StringUtil, Fnv1aHashMatchesPublishedValues) {
    EXPECT_EQ(plat::fnv1aHash(""), 0xcbf29ce484222325ULL);
    EXPECT_EQ(plat::fnv1aHash("foobar"), 0x85944171f73967e8ULL);
    EXPECT_EQ(plat::fnv1aHash(nullptr), plat::fnv1aHash(""));
    const char bytes[] = {'a', '\0', 'b'};
    EXPECT_NE(plat::fnv1aHash(bytes, sizeof bytes), plat::fnv1aHash("a"));
}

} // namespace
