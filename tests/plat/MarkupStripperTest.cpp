// Plain text from markup.
#include <plat/MarkupStripper.h>

#include <plat/MarkupParserHtml.h>

#include <gtest/gtest.h>

#include <utility>

namespace {

using plat::Markup;

TEST(MarkupStripper, JoinsTheTextOfEveryRunAndGivesTheTargetOfLinksWithoutText) {
    const std::pair<const char*, const char*> cases[] = {
        {"<div><b>Hello</b>, <a href=\"u\">world</a></div><div>1 &lt; 2<br/>!</div>",
         "Hello, world1 < 2\n!"},
        {"see <a href=\"https://example.com/help\"></a>", "see https://example.com/help"},
        {"", ""}};
    for (auto [markup, text] : cases) {
        Markup::Stripper stripper;
        EXPECT_TRUE(Markup::ParserHtml().render(markup, stripper)) << markup;
        EXPECT_FALSE(stripper.isNull());
        EXPECT_STREQ(stripper.c_str(), text);
    }
}

} // namespace
