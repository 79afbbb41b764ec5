// Plural categories: which counts take the singular in which languages.
#include <loc/pluralCategory.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The categories of the counts 0, 1, 2 and 100.
std::string categories(const char* locale) {
    std::string joined;
    for (long count : {0, 1, 2, 100})
        joined += std::string(joined.empty() ? "" : " ") +
                  loc::pluralCategory(loc::LocaleName(locale), count);
    return joined;
}

TEST(PluralCategory, LanguagesDifferInWhichCountsAreSingular) {
    // French and Brazilian Portuguese use the singular for zero; East Asian languages have one
    // form.
    for (const char* locale : {"fr_FR", "fr_CA", "pt_BR", "pt"})
        EXPECT_EQ(categories(locale), "sing sing many many") << locale;
    for (const char* locale : {"de_DE", "en_US", "es_ES", "pt_PT"}) {
        EXPECT_EQ(categories(locale), "many sing many many") << locale;
        EXPECT_EQ(loc::pluralCategory(loc::LocaleName(locale), -1), std::string("many")) << locale;
    }
    for (const char* locale : {"ja_JP", "vi", "ko_KR", "zh_TW"})
        EXPECT_EQ(categories(locale), "many many many many") << locale;
}

} // namespace
