// Parsing markup into paragraphs and runs, and the reports of invalid markup.
#include <plat/MarkupParserHtml.h>

#include <plat/Exception.h>
#include <plat/MarkupStripper.h>

#include <support/LogCapture.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using plat::Markup;
using Style = Markup::Style;

std::vector<Markup::Paragraph> parse(const char* markup) {
    std::vector<Markup::Paragraph> paragraphs;
    Markup::ParserHtml().parse(markup, paragraphs);
    return paragraphs;
}

// What differs from the default style, e.g. "{w700 i c=red}".
std::string describe(const Style& style) {
    std::ostringstream out;
    if (style.weight != Style::NormalWeight)
        out << " w" << style.weight;
    if (style.size != Style::NormalSize)
        out << " s" << style.size;
    for (auto [flag, name] :
         {std::pair{Style::Italic, " i"}, {Style::Underline, " u"}, {Style::Link, " a"}})
        out << ((style.flags & flag) ? name : "");
    if (!style.color.isNull())
        out << " c=" << style.color.get();
    if (!style.link.isNull())
        out << " ->" << style.link.get();
    return out.str().empty() ? "" : "{" + out.str().substr(1) + "}";
}

// Paragraphs as "<alignment>(<paddings>): 'run'{style} ..." separated by " | ".
std::string describe(const char* markup) {
    std::ostringstream out;
    for (const Markup::Paragraph& paragraph : parse(markup)) {
        out << (out.tellp() > 0 ? " | " : "") << "LCRJ"[paragraph.alignment];
        if (paragraph.paddingLeft != 0 || paragraph.paddingRight != 0)
            out << "(" << paragraph.paddingLeft << "," << paragraph.paddingRight << ")";
        out << ":";
        for (const Markup::Run& run : paragraph.runs)
            out << " '" << run.text.c_str() << "'" << describe(run.style);
    }
    return out.str();
}

struct ParseCase {
    const char* markup;
    const char* description;
};

void expectDescriptions(std::initializer_list<ParseCase> cases) {
    for (const ParseCase& c : cases)
        EXPECT_EQ(describe(c.markup), c.description) << c.markup;
}

std::string parseError(const char* markup) {
    return testsupport::raisedBy([&] { parse(markup); }).message;
}

TEST(MarkupParse, DivsMakeParagraphsWithTheirAlignmentAndPaddingsFromTheDefaultStyle) {
    expectDescriptions({
        {"plain <b>bold</b> text", "L: 'plain ' 'bold'{w700} ' text'"},
        {"<div style=\" text-align : center; padding-left: 2.5;padding-right:3px\">a</div>"
         "<div style=\"text-align:justify\">b</div><div style=\"text-align:middle\">c</div>"
         "<div style=\"text-align:right\">d</div>",
         "C(2.5,3): 'a' | J: 'b' | L: 'c' | R: 'd'"},
        {"before<div style=\"text-align:right\">inside</div>after<div></div>",
         "L: 'before' | R: 'inside' | L: 'after'"},
        {"<b><div style=\"color:red;font-style:italic\">x</div></b>", "L: 'x'{i c=red}"},
        {"", ""},
        {nullptr, ""},
    });
}

TEST(MarkupParse, InlineElementsAndStylePropertiesStyleTheirChildrenOnly) {
    expectDescriptions({
        {"<b>B<i>BI</i></b>N<u>U</u><font>F</font>", "L: 'B'{w700} 'BI'{w700 i} 'N' 'U'{u} 'F'"},
        {"<i>a<span style=\"font-weight:700;color:#00FF00\">b</span>c</i>",
         "L: 'a'{i} 'b'{w700 i c=#00FF00} 'c'{i}"},
        {"<a href=\"t\"><u><i><span style=\"font-style:normal\">x</span></i></u></a>",
         "L: 'x'{a ->t}"},
        {"<font color=\"blue\" size=\"150%\">x</font>", "L: 'x'{s180 c=blue}"},
        {"<span style=\"TEXT-DECORATION:Underline;font-weight:300\">x</span>", "L: 'x'{w300 u}"},
        {"<span style=\"color:#000000;background-color:#FFFFFF;\">x</span>", "L: 'x'{c=#000000}"},
        {"<B>x</B><DIV STYLE=\"text-align:right\">y<BR/></DIV>", "L: 'x'{w700} | R: 'y\n'"},
        {"<br/>a<br/><b>b</b>", "L: '\n' 'a\n' 'b'{w700}"},
        {"<b>bold", "L: 'bold'{w700}"},
        // Font sizes are numbers or percentages of the normal size.
        {"<span style=\"font-size:150%\">x</span>", "L: 'x'{s180}"},
        {"<span style=\"font-size:90\">x</span>", "L: 'x'{s90}"},
        {"<span style=\"font-size:large\">x</span>", "L: 'x'"},
        {"<span style=\"font-size:99999999999\">x</span>", "L: 'x'"},
        // Text inside an anchor becomes link runs, even when empty.
        {"<a href=\"https://example.com/?a=1&amp;b=2\" target=\"x\">go <b>now</b></a> later",
         "L: 'go '{a ->https://example.com/?a=1&b=2} 'now'{w700 a ->https://example.com/?a=1&b=2}"
         " ' later'"},
        {"see <a href=\"https://example.com\"></a>", "L: 'see ' ''{a ->https://example.com}"},
    });
}

TEST(MarkupErrors, ReportWhatIsInvalid) {
    EXPECT_EQ(parseError("<a>x</a>"), "Invalid hyperlink spec!");
    EXPECT_EQ(parseError("<p>x</p>"), "Unexpected tag p");
    EXPECT_EQ(parseError("<b foo=\"1\">x</b>"), "Unexpected attribute (foo = 1)");
    EXPECT_EQ(parseError("x</b>"), "XML error 2:27 Error: Unmatched end tag");
}

TEST(MarkupRender, InvalidMarkupIsLoggedAndTheHandlerGetsNothing) {
    Markup::Stripper handler;
    testsupport::LogCapture capture("MarkupParser:stderr:10");
    EXPECT_FALSE(Markup::ParserHtml().render("ok <p>x</p>", handler));
    EXPECT_STREQ(handler.c_str(), "");
    EXPECT_TRUE(capture.contains(
        ": MarkupParser: Invalid markup (Unexpected tag p): ### ok <p>x</p> ###\n"))
        << capture.text();
}

} // namespace
