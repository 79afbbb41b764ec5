// Classifying the character set of the C library's locale.
#include <loc/charset.h>

#include <gtest/gtest.h>

#include <locale.h>

namespace {

using loc::Charset;

TEST(Charset, NamesAreComparedWithoutCaseAndPunctuation) {
    EXPECT_EQ(loc::classifyCharset("UTF-8"), Charset::Utf8);
    EXPECT_EQ(loc::classifyCharset("utf8"), Charset::Utf8);
    EXPECT_EQ(loc::classifyCharset("Utf_8"), Charset::Utf8);
    EXPECT_EQ(loc::classifyCharset("ISO-8859-1"), Charset::Latin1);
    EXPECT_EQ(loc::classifyCharset("iso_8859_1:1987"), Charset::Latin1);
    EXPECT_EQ(loc::classifyCharset("ANSI_X3.4-1968"), Charset::Ascii);
    EXPECT_EQ(loc::classifyCharset("US-ASCII"), Charset::Ascii);
    EXPECT_EQ(loc::classifyCharset("ISO-IR-6"), Charset::Ascii);
    EXPECT_EQ(loc::classifyCharset("646"), Charset::Ascii);
    EXPECT_EQ(loc::classifyCharset("ISO646-US"), Charset::Ascii);
}

TEST(Charset, LaterPartsOfIso8859AreNotLatin1) {
    for (const char* name : {"ISO-8859-15", "ISO-8859-10", "ISO-8859-16", "ISO-8859-2"})
        EXPECT_EQ(loc::classifyCharset(name), Charset::Other) << name;
    EXPECT_EQ(loc::classifyCharset("EUC-JP"), Charset::Other);
    EXPECT_EQ(loc::classifyCharset("UTF-16"), Charset::Other);
    EXPECT_EQ(loc::classifyCharset(""), Charset::Other);
    EXPECT_EQ(loc::classifyCharset(nullptr), Charset::Other);
}

TEST(Charset, TheCLocaleIsAscii) {
    locale_t plain = newlocale(LC_ALL_MASK, "C", nullptr);
    ASSERT_NE(plain, nullptr);
    locale_t previous = uselocale(plain);
    EXPECT_EQ(loc::currentCharset(), Charset::Ascii);
    uselocale(previous);
    freelocale(plain);
}

} // namespace
