// Builders of escaped markup, and markup they build read back by the parser.
#include <plat/Markup.h>

#include <plat/MarkupParserHtml.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using plat::Markup;
using Style = Markup::Style;

std::string text(const plat::DString& built) {
    return built.c_str();
}

TEST(MarkupBuilders, EscapeWritesTheFiveEntitiesAndRepairsUtf8) {
    EXPECT_EQ(text(Markup::escape("a<b & \"c\" 'd'>\xFF.")),
              "a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;\uFFFD.");
    EXPECT_EQ(text(Markup::escape(nullptr)), "");
}

TEST(MarkupBuilders, StyledLeavesTheDefaultStyleUnwrapped) {
    EXPECT_EQ(text(Markup::styled("x < y", Style())), "x &lt; y");
    EXPECT_EQ(text(Markup::styledColor("x", nullptr)), "x");
}

TEST(MarkupBuilders, StyledWrapsOtherStylesInASpan) {
    Style style;
    style.weight = 700;
    style.flags = Style::Italic | Style::Underline;
    style.color.assign("red");
    EXPECT_EQ(text(Markup::styled("x < y", style)),
              "<span style=\"font-size:100%;font-weight:700;font-style:italic;"
              "text-decoration:underline;color:red;\">x &lt; y</span>");
    EXPECT_EQ(text(Markup::styledColor("t", "#FF0000", 180)),
              "<span style=\"font-size:150%;font-weight:400;color:#FF0000;\">t</span>");
}

TEST(MarkupBuilders, BoldWrapsTheEscapedText) {
    EXPECT_EQ(text(Markup::bold("a<b")), "<b>a&lt;b</b>");
    EXPECT_EQ(text(Markup::bold("x", "blue")),
              "<span style=\"font-size:100%;font-weight:400;color:blue;\"><b>x</b></span>");
}

TEST(MarkupBuilders, DivOpenNamesTheAlignment) {
    EXPECT_EQ(text(Markup::divOpen(Markup::AlignLeft)), "<div style=\"text-align:left\">");
    EXPECT_EQ(text(Markup::divOpen(Markup::AlignJustify)), "<div style=\"text-align:justify\">");
    Style style;
    style.size = 60;
    EXPECT_EQ(text(Markup::divOpen(Markup::AlignCenter, &style)),
              "<div style=\"text-align:center;font-size:50%;font-weight:400;\">");
}

TEST(MarkupBuilders, LinksEscapeTargetTextAndColour) {
    EXPECT_EQ(text(Markup::linkColor("t<", "https://a/?b=1&c=\"2\"")),
              "<a href=\"https://a/?b=1&amp;c=&quot;2&quot;\">t&lt;</a>");
    EXPECT_EQ(text(Markup::linkColor("t", "u", "#0000FF")),
              "<a href=\"u\" style=\"color:#0000FF\">t</a>");
    Style style;
    style.flags = Style::Underline;
    EXPECT_EQ(text(Markup::linkStyle("t", "u", style)),
              "<a href=\"u\" style=\"font-size:100%;font-weight:400;"
              "text-decoration:underline;\">t</a>");
}

TEST(MarkupBuilders, StyleTextAddsTheBackgroundLast) {
    Style style;
    style.size = 130;
    style.color.assign("a\"b");
    EXPECT_EQ(text(Markup::styleText(style, "#FFFFD3")),
              "font-size:108%;font-weight:400;color:a&quot;b;background-color:#FFFFD3;");
}

TEST(MarkupBuilders, BuiltMarkupParsesBackToItsStyleAndText) {
    Style style;
    style.size = 130;
    style.weight = 700;
    style.flags = Style::Italic;
    style.color.assign("#123456");
    std::string markup = text(Markup::divOpen(Markup::AlignRight)) +
                         text(Markup::styled("1 < 2 & \"3\"", style)) + "</div>" +
                         text(Markup::linkColor("here", "https://x/?a&b", "green"));
    std::vector<Markup::Paragraph> paragraphs;
    Markup::ParserHtml().parse(markup.c_str(), paragraphs);
    ASSERT_EQ(paragraphs.size(), 2u);
    EXPECT_EQ(paragraphs[0].alignment, Markup::AlignRight);
    ASSERT_EQ(paragraphs[0].runs.size(), 1u);
    EXPECT_EQ(paragraphs[0].runs[0].style, style);
    EXPECT_STREQ(paragraphs[0].runs[0].text.get(), "1 < 2 & \"3\"");
    const Markup::Run& link = paragraphs[1].runs[0];
    EXPECT_STREQ(link.style.link.get(), "https://x/?a&b");
    EXPECT_STREQ(link.style.color.get(), "green");
}

} // namespace
