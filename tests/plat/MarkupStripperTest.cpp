// Plain text from markup.
#include <plat/MarkupStripper.h>

#include <plat/MarkupParserHtml.h>

#include <gtest/gtest.h>

namespace {

using plat::Markup;

TEST(MarkupStripper, JoinsTheTextOfEveryRunAndGivesTheTargetOfLinksWithoutText) {
    struct Case {
        const char* markup;
        const char* text;
    };
    for (Case c :
         {Case{"<div><b>Hello</b>, <a href=\"u\">world</a></div><div>1 &lt; 2<br/>!</div>",
               "Hello, world1 < 2\n!"},
          Case{"see <a href=\"https://example.com/help\"></a>", "see https://example.com/help"},
          Case{"", ""}}) {
        Markup::Stripper stripper;
        EXPECT_TRUE(Markup::ParserHtml().render(c.markup, stripper)) << c.markup;
        EXPECT_FALSE(stripper.isNull());
        EXPECT_STREQ(stripper.c_str(), c.text);
    }
}

} // namespace
