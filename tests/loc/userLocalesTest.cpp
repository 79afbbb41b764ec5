// Choosing the user locales from the Locale setting, LANGUAGE and the system locale, and the
// load list built from them.
#include <loc/userLocales.h>

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

TEST(UserLocales, TheSettingWinsAndIsNormalised) {
    EXPECT_EQ(loc::chooseUserLocales("fr", "de_DE.UTF-8", "es"), (Names{"fr_FR", "en_US"}));
    EXPECT_EQ(loc::chooseUserLocales("pt_PT.UTF-8:de-AT@euro:ja", nullptr, nullptr),
              (Names{"pt_PT", "de_AT", "ja_JP", "en_US"}));
}

TEST(UserLocales, ListsDropEmptyNamesAndRepeats) {
    EXPECT_EQ(loc::parseLocaleList("::de::de_DE:.UTF-8:_AT:fr:"), (Names{"de_DE", "fr_FR"}));
    EXPECT_EQ(loc::chooseUserLocales("en:de", nullptr, nullptr), (Names{"en_US", "de_DE"}));
    EXPECT_EQ(loc::chooseUserLocales(":", "de_DE.UTF-8", nullptr), (Names{"de_DE", "en_US"}))
        << "a setting that names nothing is no setting";
}

TEST(UserLocales, LanguageOverridesTheSystemLocale) {
    EXPECT_EQ(loc::chooseUserLocales("", "fr_FR.UTF-8", "de"), (Names{"de_DE", "en_US"}));
}

TEST(UserLocales, ALanguageOfTheSystemLocaleTakesItsTerritory) {
    EXPECT_EQ(loc::chooseUserLocales("", "fr_CA.UTF-8", "fr:de"),
              (Names{"fr_CA", "de_DE", "en_US"}));
    EXPECT_EQ(loc::chooseUserLocales("", "fr.UTF-8", "fr"), (Names{"fr_FR", "en_US"}));
}

TEST(UserLocales, AnUntranslatedSystemLocaleIgnoresLanguage) {
    for (const char* system : {"C", "POSIX", "C.UTF-8", "C.utf8"})
        EXPECT_EQ(loc::chooseUserLocales("", system, "de"), (Names{"en_US"})) << system;
    EXPECT_EQ(loc::chooseUserLocales("", nullptr, "de"), (Names{"en_US"})) << "unusable";
}

TEST(UserLocales, WithoutLanguageTheSystemLocaleIsUsedAsItIs) {
    EXPECT_EQ(loc::chooseUserLocales("", "es_MX.UTF-8@x", nullptr), (Names{"es_MX", "en_US"}));
    EXPECT_EQ(loc::chooseUserLocales("", "de_DE.UTF-8", ""), (Names{"de_DE", "en_US"}))
        << "an empty LANGUAGE is no LANGUAGE";
}

TEST(UserLocales, TheLoadListAddsLanguagesAndEnglish) {
    EXPECT_EQ(loc::buildLoadList({"pt_BR", "fr", "en_US"}),
              (Names{"pt_BR", "pt", "fr", "en_US", "en"}));
    EXPECT_EQ(loc::buildLoadList({"en_GB", "de_AT", "de_DE"}),
              (Names{"en_GB", "en", "de_AT", "de", "de_DE", "en_US"}));
    EXPECT_EQ(loc::buildLoadList({}), (Names{"en_US", "en"}));
}

} // namespace
