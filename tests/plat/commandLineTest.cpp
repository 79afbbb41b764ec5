// Command-line splitting, quoting, and the round trip between them.
#include <plat/commandLine.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> split(const char* text) {
    std::vector<std::string> words;
    for (const plat::DString& word : plat::splitCommandLine(text))
        words.emplace_back(word.c_str());
    return words;
}

using Words = std::vector<std::string>;

TEST(SplitCommandLine, SeparatesAtBlanksAndTabsOutsideQuotes) {
    EXPECT_EQ(split("  pkexec\t--user  root "), (Words{"pkexec", "--user", "root"}));
    EXPECT_EQ(split("a \"b c\"d e"), (Words{"a", "b cd", "e"}));
    EXPECT_EQ(split("a \"\" b"), (Words{"a", "", "b"}));
    EXPECT_EQ(split("line\nfeed"), (Words{"line\nfeed"}));
    EXPECT_EQ(split(" \t "), Words{});
    EXPECT_EQ(split(nullptr), Words{});
}

TEST(SplitCommandLine, HalvesBackslashesBeforeQuotes) {
    struct Case {
        const char* text;
        Words words;
    };
    for (const Case& c : {
             Case{R"(a\\b)", {R"(a\\b)"}},
             Case{R"(a\"b)", {R"(a"b)"}},
             Case{R"(a\\"b c")", {R"(a\b c)"}},
             Case{R"(a\\\"b c)", {R"(a\"b)", "c"}},
             Case{R"("a b\\")", {R"(a b\)"}},
             Case{R"(tail\)", {R"(tail\)"}},
         }) {
        EXPECT_EQ(split(c.text), c.words) << c.text;
    }
}

TEST(QuoteArgument, QuotesOnlyWhatNeedsIt) {
    struct Case {
        const char* argument;
        const char* quoted;
    };
    for (Case c : {Case{"plain", "x plain"}, Case{"", "x \"\""}, Case{"a b", "x \"a b\""},
                   Case{R"(a"b)", R"(x "a\"b")"}, Case{R"(a\"b)", R"(x "a\\\"b")"},
                   Case{R"(dir\ x\)", R"(x "dir\ x\\")"}, Case{R"(c:\path)", R"(x c:\path)"}}) {
        plat::DString line("x");
        plat::appendQuotedArgument(line, c.argument);
        EXPECT_STREQ(line.get(), c.quoted) << c.argument;
    }
    plat::DString empty;
    plat::appendQuotedArgument(empty, "first");
    EXPECT_STREQ(empty.get(), "first");
}

TEST(QuoteArgument, SplitRestoresQuotedArguments) {
    Words arguments = {"",          "a b",      R"(\)",   R"(\\")", R"("\")",          "tab\there",
                       "new\nline", R"(end\\)", R"(x\y)", "\"",     "caf\u00E9 \u20AC"};
    plat::DString line;
    for (const std::string& argument : arguments)
        plat::appendQuotedArgument(line, argument.c_str());
    EXPECT_EQ(split(line.get()), arguments) << line.get();
}

} // namespace
