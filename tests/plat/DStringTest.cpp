// Editing, replacement and UTF-8 repair of owned strings.
#include <plat/DString.h>

#include <plat/Exception.h>

#include <gtest/gtest.h>

#include <tuple>

namespace {

using plat::DString;

TEST(DString, AppendsPartsOfItself) {
    DString text("abcdef");
    text.append(text.get() + 2, 3);
    EXPECT_STREQ(text.get(), "abcdefcde");
    text.appendf("%s!", text.get());
    EXPECT_STREQ(text.get(), "abcdefcdeabcdefcde!");
}

TEST(DString, ReplaceSplicesOnlyValidRanges) {
    using Case = std::tuple<int, int, const char*>;
    for (auto [start, end, result] : {Case{1, 3, "aXYd"}, Case{4, 4, "abcdXY"}, Case{3, 2, "abcd"},
                                      Case{-1, 2, "abcd"}, Case{2, 5, "abcd"}}) {
        DString text("abcd");
        text.replace(start, end, "XY");
        EXPECT_STREQ(text.get(), result) << start << ".." << end;
    }
}

TEST(DStringReplaceAll, ReadsTextFromItsOwnBuffer) {
    DString text("one two");
    text.replaceAll(text.get(), "o", "0000000000000000");
    EXPECT_STREQ(text.get(), "one two0000000000000000ne tw0000000000000000");
}

TEST(DString, MakeValidUtf8ReplacesOnlyBrokenSequences) {
    DString broken("a\xC3z\xED\xA0\x80");
    broken.makeValidUtf8();
    EXPECT_STREQ(broken.get(), "a\uFFFDz\uFFFD");
}

} // namespace
