// Locale names: splitting at the separators, normalisation and the default territories.
#include <loc/LocaleName.h>

#include <gtest/gtest.h>

namespace {

TEST(LocaleName, SplitsAtTheFirstSeparator) {
    loc::LocaleName full("pt_BR.UTF-8@euro");
    EXPECT_EQ(full.language(), "pt");
    EXPECT_EQ(full.territory(), "BR");
    EXPECT_EQ(full.withoutCodeset(), "pt_BR");

    EXPECT_EQ(loc::LocaleName("de-AT").withoutCodeset(), "de_AT");
    EXPECT_EQ(loc::LocaleName("sr@latin").withoutCodeset(), "sr");
    EXPECT_EQ(loc::LocaleName("ca_ES@valencia").territory(), "ES");
    EXPECT_FALSE(loc::LocaleName("de_").hasTerritory());
    EXPECT_EQ(loc::LocaleName(".UTF-8").language(), "");
}

TEST(LocaleName, ABareLanguageGetsItsDefaultTerritory) {
    EXPECT_EQ(loc::LocaleName("de").normalised(), "de_DE");
    EXPECT_EQ(loc::LocaleName("pt.UTF-8").normalised(), "pt_BR");
    EXPECT_EQ(loc::LocaleName("de_CH").normalised(), "de_CH");
    EXPECT_EQ(loc::LocaleName("eo").normalised(), "eo") << "not in the table";
    EXPECT_EQ(loc::LocaleName("C").normalised(), "C");
}

TEST(LocaleName, DefaultTerritoriesAreFoundAcrossTheTable) {
    // The ends and the middle of the sorted table, and languages between its entries.
    EXPECT_STREQ(loc::LocaleName::defaultTerritory("af"), "ZA");
    EXPECT_STREQ(loc::LocaleName::defaultTerritory("zh"), "CN");
    EXPECT_STREQ(loc::LocaleName::defaultTerritory("ja"), "JP");
    for (const char* absent : {"", "a", "aa", "zz", "de_", "ee", "pt_BR"})
        EXPECT_EQ(loc::LocaleName::defaultTerritory(absent), nullptr) << absent;
}

TEST(LocaleName, OnlyLettersAndUnderscoresMayNameFiles) {
    EXPECT_TRUE(loc::LocaleName::isSafeForFileName("pt_BR"));
    for (const char* unsafe : {"", "..", "de/../x", "de.UTF-8", "sr@latin", "x y", "de-AT", "a1"})
        EXPECT_FALSE(loc::LocaleName::isSafeForFileName(unsafe)) << unsafe;
}

} // namespace
