// Plain text from markup.
#include <plat/MarkupStripper.h>

#include <plat/MarkupParserHtml.h>

#include <gtest/gtest.h>

namespace {

using plat::Markup;

std::string strip(const char* markup) {
    Markup::Stripper stripper;
    EXPECT_TRUE(Markup::ParserHtml().render(markup, stripper)) << markup;
    return stripper.c_str();
}

TEST(MarkupStripper, JoinsTheTextOfEveryRun) {
    EXPECT_EQ(strip("<div><b>Hello</b>, <a href=\"u\">world</a></div><div>1 &lt; 2<br/>!</div>"),
              "Hello, world1 < 2\n!");
}

TEST(MarkupStripper, LinkWithoutTextGivesItsTarget) {
    EXPECT_EQ(strip("see <a href=\"https://example.com/help\"></a>"),
              "see https://example.com/help");
}

TEST(MarkupStripper, NothingToStripGivesTheEmptyText) {
    Markup::Stripper stripper;
    EXPECT_FALSE(stripper.isNull());
    EXPECT_EQ(strip(""), "");
}

} // namespace
