// Parsing markup into paragraphs and runs, rendering to a handler, and the reports of invalid
// markup.
#include <plat/MarkupParserHtml.h>

#include <plat/Exception.h>

#include <support/LogCapture.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using plat::Markup;
using Style = Markup::Style;

std::vector<Markup::Paragraph> parse(const char* markup) {
    std::vector<Markup::Paragraph> paragraphs;
    Markup::ParserHtml().parse(markup, paragraphs);
    return paragraphs;
}

// The single paragraph of the markup.
std::vector<Markup::Run> runsOf(const char* markup) {
    std::vector<Markup::Paragraph> paragraphs = parse(markup);
    EXPECT_EQ(paragraphs.size(), 1u) << markup;
    return paragraphs.empty() ? std::vector<Markup::Run>() : std::move(paragraphs[0].runs);
}

std::string parseError(const char* markup) {
    try {
        parse(markup);
    } catch (const plat::Exception& e) {
        return e.message();
    }
    ADD_FAILURE() << "accepted: " << markup;
    return "";
}

TEST(MarkupParagraphs, MarkupWithoutDivIsOneLeftAlignedParagraph) {
    std::vector<Markup::Paragraph> paragraphs = parse("plain <b>bold</b> text");
    ASSERT_EQ(paragraphs.size(), 1u);
    EXPECT_EQ(paragraphs[0].alignment, Markup::AlignLeft);
    EXPECT_EQ(paragraphs[0].paddingLeft, 0);
    EXPECT_EQ(paragraphs[0].paddingRight, 0);
    EXPECT_EQ(paragraphs[0].runs.size(), 3u);
}

TEST(MarkupParagraphs, DivSetsAlignmentAndPaddingsOfItsParagraph) {
    std::vector<Markup::Paragraph> paragraphs =
        parse("<div style=\" text-align : center; padding-left: 2.5;padding-right:3px\">a</div>"
              "<div style=\"text-align:justify\">b</div><div style=\"text-align:middle\">c</div>"
              "<div style=\"text-align:right\">d</div>");
    ASSERT_EQ(paragraphs.size(), 4u);
    EXPECT_EQ(paragraphs[0].alignment, Markup::AlignCenter);
    EXPECT_DOUBLE_EQ(paragraphs[0].paddingLeft, 2.5);
    EXPECT_DOUBLE_EQ(paragraphs[0].paddingRight, 3);
    EXPECT_EQ(paragraphs[1].alignment, Markup::AlignJustify);
    EXPECT_EQ(paragraphs[2].alignment, Markup::AlignLeft);
    EXPECT_EQ(paragraphs[3].alignment, Markup::AlignRight);
}

TEST(MarkupParagraphs, TextAroundADivFormsParagraphsOfItsOwn) {
    std::vector<Markup::Paragraph> paragraphs =
        parse("before<div style=\"text-align:right\">inside</div>after<div></div>");
    ASSERT_EQ(paragraphs.size(), 3u);
    EXPECT_STREQ(paragraphs[0].runs[0].text.get(), "before");
    EXPECT_STREQ(paragraphs[1].runs[0].text.get(), "inside");
    EXPECT_STREQ(paragraphs[2].runs[0].text.get(), "after");
    EXPECT_EQ(paragraphs[2].alignment, Markup::AlignLeft);
}

TEST(MarkupParagraphs, DivStartsFromTheDefaultStyle) {
    std::vector<Markup::Paragraph> paragraphs =
        parse("<b><div style=\"color:red;font-style:italic\">x</div></b>");
    ASSERT_EQ(paragraphs.size(), 1u);
    const Style& style = paragraphs[0].runs[0].style;
    EXPECT_EQ(style.weight, 400);
    EXPECT_STREQ(style.color.get(), "red");
    EXPECT_EQ(style.flags, Style::Italic);
}

TEST(MarkupParagraphs, EmptyMarkupHasNoParagraph) {
    EXPECT_TRUE(parse("").empty());
    EXPECT_TRUE(parse(nullptr).empty());
}

TEST(MarkupStyles, InlineElementsStyleTheirChildrenOnly) {
    std::vector<Markup::Run> runs = runsOf("<b>B<i>BI</i></b>N<u>U</u><font>F</font>");
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[0].style.weight, 700);
    EXPECT_EQ(runs[0].style.flags, 0u);
    EXPECT_EQ(runs[1].style.weight, 700);
    EXPECT_EQ(runs[1].style.flags, Style::Italic);
    EXPECT_TRUE(runs[2].style.isDefault());
    EXPECT_EQ(runs[3].style.flags, Style::Underline);
    EXPECT_TRUE(runs[4].style.isDefault());
}

TEST(MarkupStyles, SpanStylesItsChildrenAndFollowingTextKeepsTheParentStyle) {
    std::vector<Markup::Run> runs =
        runsOf("<i>a<span style=\"font-weight:700;color:#00FF00\">b</span>c</i>");
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].style.weight, 700);
    EXPECT_STREQ(runs[1].style.color.get(), "#00FF00");
    EXPECT_EQ(runs[1].style.flags, Style::Italic);
    EXPECT_EQ(runs[2].style.weight, 400);
    EXPECT_TRUE(runs[2].style.color.isNull());
    EXPECT_EQ(runs[2].style.flags, Style::Italic);
}

TEST(MarkupStyles, FontSizeAcceptsNumbersAndPercentages) {
    struct Case {
        const char* markup;
        int size;
    };
    for (Case c : {Case{"<span style=\"font-size:150%\">x</span>", 180},
                   Case{"<span style=\"font-size: 100 %\">x</span>", 100},
                   Case{"<span style=\"font-size:100%\">x</span>", 120},
                   Case{"<span style=\"font-size:90\">x</span>", 90},
                   Case{"<span style=\"font-size:12.5%\">x</span>", 15},
                   Case{"<span style=\"font-size:large\">x</span>", 120},
                   Case{"<span style=\"font-size:99999999999\">x</span>", 120},
                   Case{"<font size=\"200\">x</font>", 200}}) {
        EXPECT_EQ(runsOf(c.markup)[0].style.size, c.size) << c.markup;
    }
}

TEST(MarkupStyles, FontStyleNormalClearsFlagsButNotTheLink) {
    std::vector<Markup::Run> runs =
        runsOf("<a href=\"t\"><u><i><span style=\"font-style:normal\">x</span></i></u></a>");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].style.flags, Style::Link);
}

TEST(MarkupStyles, ColorAndSizeAttributesApply) {
    std::vector<Markup::Run> runs = runsOf("<font color=\"blue\" size=\"150%\">x</font>");
    EXPECT_STREQ(runs[0].style.color.get(), "blue");
    EXPECT_EQ(runs[0].style.size, 180);
}

TEST(MarkupStyles, UnderlineAndWeightProperties) {
    std::vector<Markup::Run> runs =
        runsOf("<span style=\"TEXT-DECORATION:Underline;font-weight:300\">x</span>");
    EXPECT_EQ(runs[0].style.flags, Style::Underline);
    EXPECT_EQ(runs[0].style.weight, 300);
}

TEST(MarkupStyles, BackgroundColourDoesNotBecomeTheTextColour) {
    std::vector<Markup::Run> runs =
        runsOf("<span style=\"color:#000000;background-color:#FFFFFF;\">x</span>");
    EXPECT_STREQ(runs[0].style.color.get(), "#000000");
}

TEST(MarkupStyles, NamesAreComparedWithoutCase) {
    std::vector<Markup::Paragraph> paragraphs =
        parse("<B>x</B><DIV STYLE=\"text-align:right\">y<BR/></DIV>");
    ASSERT_EQ(paragraphs.size(), 2u);
    EXPECT_EQ(paragraphs[0].runs[0].style.weight, 700);
    EXPECT_EQ(paragraphs[1].alignment, Markup::AlignRight);
    EXPECT_STREQ(paragraphs[1].runs[0].text.get(), "y\n");
}

TEST(MarkupLinks, TextInsideAnAnchorBecomesLinkRuns) {
    std::vector<Markup::Run> runs =
        runsOf("<a href=\"https://example.com/?a=1&amp;b=2\" target=\"x\">go <b>now</b></a> later");
    ASSERT_EQ(runs.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(runs[i].style.flags & Style::Link, Style::Link);
        EXPECT_STREQ(runs[i].style.link.get(), "https://example.com/?a=1&b=2");
    }
    EXPECT_EQ(runs[1].style.weight, 700);
    EXPECT_EQ(runs[2].style.flags, 0u);
    EXPECT_TRUE(runs[2].style.link.isNull());
}

TEST(MarkupLinks, AnchorWithoutTextStillGivesALinkRun) {
    std::vector<Markup::Run> runs = runsOf("see <a href=\"https://example.com\"></a>");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_STREQ(runs[1].text.get(), "");
    EXPECT_STREQ(runs[1].style.link.get(), "https://example.com");
}

TEST(MarkupBreaks, LineBreakExtendsTheLastRunOrStartsOne) {
    std::vector<Markup::Run> runs = runsOf("<br/>a<br/><b>b</b>");
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_STREQ(runs[0].text.get(), "\n");
    EXPECT_TRUE(runs[0].style.isDefault());
    EXPECT_STREQ(runs[1].text.get(), "a\n");
    EXPECT_STREQ(runs[2].text.get(), "b");
}

TEST(MarkupErrors, ReportWhatIsInvalid) {
    EXPECT_EQ(parseError("<a>x</a>"), "Invalid hyperlink spec!");
    EXPECT_EQ(parseError("<p>x</p>"), "Unexpected tag p");
    EXPECT_EQ(parseError("<b><body/></b>"), "Unexpected tag body");
    EXPECT_EQ(parseError("<b foo=\"1\">x</b>"), "Unexpected attribute (foo = 1)");
    EXPECT_EQ(parseError("<br clear=\"all\"/>"), "Unexpected attribute (clear = all)");
    EXPECT_EQ(parseError("x</b>"), "XML error 2:27 Error: Unmatched end tag");
    EXPECT_EQ(parseError("a & b"), "XML error 2:28 Error: Unknown character entity");
}

TEST(MarkupErrors, OtherAttributesAreIgnoredOnDivSpanAndAnchor) {
    EXPECT_EQ(parse("<div id=\"1\"><span title=\"t\">x</span></div>").size(), 1u);
}

TEST(MarkupErrors, UnclosedElementIsClosedByTheBody) {
    std::vector<Markup::Run> runs = runsOf("<b>bold");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].style.weight, 700);
}

// Records the handler calls as text.
class RecordingHandler : public Markup::Handler {
public:
    void startParagraph(int alignment, double paddingLeft, double paddingRight) override {
        calls << "start(" << alignment << "," << paddingLeft << "," << paddingRight << ") ";
    }
    void endParagraph(bool isLast) override { calls << "end(" << isLast << ") "; }
    void text(const Style& style, const char* text) override {
        calls << "text(" << style.weight << "," << text << ") ";
    }
    void link(const Style& style, const char* href, const char* text) override {
        calls << "link(" << style.flags << "," << href << "," << text << ") ";
    }
    void finish() override { calls << "finish"; }

    std::ostringstream calls;
};

TEST(MarkupRender, DrivesTheHandlerInOrder) {
    RecordingHandler handler;
    EXPECT_TRUE(Markup::ParserHtml().render(
        "a<b>b</b><div style=\"text-align:right;padding-left:4\"><a href=\"u\">c</a></div>",
        handler));
    EXPECT_EQ(handler.calls.str(), "start(0,0,0) text(400,a) text(700,b) end(0) "
                                   "start(2,4,0) link(4,u,c) end(1) finish");
}

TEST(MarkupRender, EmptyMarkupOnlyFinishes) {
    RecordingHandler handler;
    EXPECT_TRUE(Markup::ParserHtml().render("", handler));
    EXPECT_EQ(handler.calls.str(), "finish");
}

TEST(MarkupRender, InvalidMarkupIsLoggedAndTheHandlerGetsNothing) {
    RecordingHandler handler;
    testsupport::LogCapture capture("MarkupParser:stderr:10");
    EXPECT_FALSE(Markup::ParserHtml().render("ok <p>x</p>", handler));
    std::string output = capture.text();
    EXPECT_EQ(handler.calls.str(), "");
    EXPECT_NE(
        output.find(": MarkupParser: Invalid markup (Unexpected tag p): ### ok <p>x</p> ###\n"),
        std::string::npos)
        << output;
}

} // namespace
