// Classifying the character set of the C library's locale.
#include <loc/charset.h>

#include <gtest/gtest.h>

#include <tuple>

#include <locale.h>

namespace {

using loc::Charset;

TEST(Charset, NamesAreComparedWithoutCaseAndPunctuationAndOnlyPart1IsLatin1) {
    using Case = std::tuple<const char*, Charset>;
    for (auto [name, charset] :
         {Case{"utf8", Charset::Utf8}, Case{"Utf_8", Charset::Utf8},
          Case{"iso_8859_1:1987", Charset::Latin1}, Case{"ANSI_X3.4-1968", Charset::Ascii},
          Case{"646", Charset::Ascii}, Case{"ISO-8859-15", Charset::Other},
          Case{"ISO-8859-10", Charset::Other}, Case{"", Charset::Other}})
        EXPECT_EQ(loc::classifyCharset(name), charset) << name;
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
