// Plural categories: which counts take the singular in which languages.
#include <loc/pluralCategory.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string category(const char* locale, long count) {
    return loc::pluralCategory(loc::LocaleName(locale), count);
}

TEST(PluralCategory, FrenchAndBrazilianPortugueseUseTheSingularForZero) {
    for (const char* locale : {"fr_FR", "fr_CA", "pt_BR", "pt"}) {
        EXPECT_EQ(category(locale, 0), "sing") << locale;
        EXPECT_EQ(category(locale, 1), "sing") << locale;
        EXPECT_EQ(category(locale, 2), "many") << locale;
        EXPECT_EQ(category(locale, 100), "many") << locale;
    }
}

TEST(PluralCategory, OtherLanguagesUseTheSingularForOneOnly) {
    for (const char* locale : {"de_DE", "en_US", "es_ES", "pt_PT"}) {
        EXPECT_EQ(category(locale, 0), "many") << locale;
        EXPECT_EQ(category(locale, 1), "sing") << locale;
        EXPECT_EQ(category(locale, 2), "many") << locale;
        EXPECT_EQ(category(locale, -1), "many") << locale;
    }
}

TEST(PluralCategory, EastAsianLanguagesHaveOneForm) {
    for (const char* locale : {"ja_JP", "vi", "ko_KR", "zh_TW"}) {
        EXPECT_EQ(category(locale, 1), "many") << locale;
        EXPECT_EQ(category(locale, 0), "many") << locale;
    }
}

} // namespace
