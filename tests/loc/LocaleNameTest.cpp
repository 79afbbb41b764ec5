// Locale names: splitting at the separators, and the names that are safe in file names.
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

TEST(LocaleName, OnlyLettersAndUnderscoresMayNameFiles) {
    EXPECT_TRUE(loc::LocaleName::isSafeForFileName("pt_BR"));
    for (const char* unsafe : {"", "..", "de/../x", "de.UTF-8", "sr@latin", "x y", "de-AT", "a1"})
        EXPECT_FALSE(loc::LocaleName::isSafeForFileName(unsafe)) << unsafe;
}

} // namespace
