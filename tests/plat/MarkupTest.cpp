// Builders of escaped markup.
#include <plat/Markup.h>

#include <gtest/gtest.h>

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

} // namespace
