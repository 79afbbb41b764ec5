// Builders of escaped markup, and markup they build read back by the parser.
#include <plat/Markup.h>

#include <plat/MarkupParserHtml.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using plat::Markup;
using Style = Markup::Style;

Style makeStyle(int size, int weight, unsigned flags, const char* color) {
    Style style;
    style.size = size;
    style.weight = weight;
    style.flags = flags;
    style.color.assign(color);
    return style;
}

TEST(MarkupBuilders, EscapeEverythingAndWrapOnlyWhatDiffersFromTheDefaultStyle) {
    const Style underlined = makeStyle(120, 400, Style::Underline, nullptr);
    const Style small = makeStyle(60, 400, 0, nullptr);
    struct Case {
        plat::DString built;
        const char* markup;
    };
    const Case cases[] = {
        {Markup::escape("a<b & \"c\" 'd'>\xFF."),
         "a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;\uFFFD."},
        {Markup::escape(nullptr), ""},
        {Markup::styledColor("x", nullptr), "x"},
        {Markup::styled("x < y", makeStyle(120, 700, Style::Italic | Style::Underline, "red")),
         "<span style=\"font-size:100%;font-weight:700;font-style:italic;"
         "text-decoration:underline;color:red;\">x &lt; y</span>"},
        {Markup::styledColor("t", "#FF0000", 180),
         "<span style=\"font-size:150%;font-weight:400;color:#FF0000;\">t</span>"},
        {Markup::bold("a<b"), "<b>a&lt;b</b>"},
        {Markup::bold("x", "blue"),
         "<span style=\"font-size:100%;font-weight:400;color:blue;\"><b>x</b></span>"},
        {Markup::divOpen(Markup::AlignJustify), "<div style=\"text-align:justify\">"},
        {Markup::divOpen(Markup::AlignCenter, &small),
         "<div style=\"text-align:center;font-size:50%;font-weight:400;\">"},
        {Markup::linkColor("t<", "https://a/?b=1&c=\"2\""),
         "<a href=\"https://a/?b=1&amp;c=&quot;2&quot;\">t&lt;</a>"},
        {Markup::linkColor("t", "u", "#0000FF"), "<a href=\"u\" style=\"color:#0000FF\">t</a>"},
        {Markup::linkStyle("t", "u", underlined),
         "<a href=\"u\" style=\"font-size:100%;font-weight:400;text-decoration:underline;\">t</a>"},
        {Markup::styleText(makeStyle(130, 400, 0, "a\"b"), "#FFFFD3"),
         "font-size:108%;font-weight:400;color:a&quot;b;background-color:#FFFFD3;"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.built.c_str(), c.markup);
}

TEST(MarkupBuilders, BuiltMarkupParsesBackToItsStyleAndText) {
    Style style = makeStyle(130, 700, Style::Italic, "#123456");
    std::string markup = std::string(Markup::divOpen(Markup::AlignRight).c_str()) +
                         Markup::styled("1 < 2 & \"3\"", style).c_str() + "</div>" +
                         Markup::linkColor("here", "https://x/?a&b", "green").c_str();
    std::vector<Markup::Paragraph> paragraphs;
    Markup::ParserHtml().parse(markup.c_str(), paragraphs);
    ASSERT_EQ(paragraphs.size(), 2u);
    EXPECT_EQ(paragraphs[0].alignment, Markup::AlignRight);
    EXPECT_EQ(paragraphs[0].runs.at(0).style, style);
    EXPECT_STREQ(paragraphs[0].runs[0].text.get(), "1 < 2 & \"3\"");
    const Markup::Style& link = paragraphs[1].runs.at(0).style;
    EXPECT_EQ(std::string(link.link.get()) + " " + link.color.get(), "https://x/?a&b green");
}

} // namespace
