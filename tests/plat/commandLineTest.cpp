// Command-line splitting, and quoting that splitting undoes.
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
    EXPECT_EQ(split("a \"\" b line\nfeed"), (Words{"a", "", "b", "line\nfeed"}));
    EXPECT_EQ(split(" \t "), Words{});
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
