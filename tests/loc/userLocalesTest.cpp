// Choosing the user locales from the Locale setting, LANGUAGE and the system locale, and the
// load list built from them.
#include <loc/userLocales.h>

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

TEST(UserLocales, TheSettingWinsThenLanguageForATranslatedSystemLocaleThenTheSystemLocale) {
    struct Case {
        const char* setting;
        const char* system;
        const char* language;
        Names locales;
    };
    for (const Case& c : {
             Case{"fr", "de_DE.UTF-8", "es", {"fr_FR", "en_US"}},
             Case{"pt_PT.UTF-8:de-AT@euro:ja",
                  nullptr,
                  nullptr,
                  {"pt_PT", "de_AT", "ja_JP", "en_US"}},
             // Empty names and repeats are dropped; a setting that names nothing is no setting.
             Case{"en:de", nullptr, nullptr, {"en_US", "de_DE"}},
             Case{":", "de_DE.UTF-8", nullptr, {"de_DE", "en_US"}},
             Case{"", "fr_FR.UTF-8", "de", {"de_DE", "en_US"}},
             // A language of the system locale takes its territory.
             Case{"", "fr_CA.UTF-8", "fr:de", {"fr_CA", "de_DE", "en_US"}},
             Case{"", "fr.UTF-8", "fr", {"fr_FR", "en_US"}},
             // An untranslated or unusable system locale ignores LANGUAGE.
             Case{"", "C", "de", {"en_US"}},
             Case{"", "POSIX", "de", {"en_US"}},
             Case{"", "C.utf8", "de", {"en_US"}},
             Case{"", nullptr, "de", {"en_US"}},
             // Without LANGUAGE the system locale is used as it is.
             Case{"", "es_MX.UTF-8@x", nullptr, {"es_MX", "en_US"}},
             Case{"", "de_DE.UTF-8", "", {"de_DE", "en_US"}},
         })
        EXPECT_EQ(loc::chooseUserLocales(c.setting, c.system, c.language), c.locales)
            << c.setting << " / " << (c.system ? c.system : "<null>") << " / "
            << (c.language ? c.language : "<null>");
    EXPECT_EQ(loc::parseLocaleList("::de::de_DE:.UTF-8:_AT:fr:"), (Names{"de_DE", "fr_FR"}));
}

TEST(UserLocales, TheLoadListAddsLanguagesAndEnglish) {
    EXPECT_EQ(loc::buildLoadList({"pt_BR", "fr", "en_US"}),
              (Names{"pt_BR", "pt", "fr", "en_US", "en"}));
    EXPECT_EQ(loc::buildLoadList({"en_GB", "de_AT", "de_DE"}),
              (Names{"en_GB", "en", "de_AT", "de", "de_DE", "en_US"}));
    EXPECT_EQ(loc::buildLoadList({}), (Names{"en_US", "en"}));
}

} // namespace
