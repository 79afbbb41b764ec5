// Breaking markup into lines through a measuring and drawing callback.
#include <plat/MarkupLayout.h>

#include <plat/MarkupParserHtml.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using plat::Markup;
using Layout = Markup::Layout;

struct Piece {
    std::string text;
    int x;
    int y;
    int line;
    std::string href;

    bool operator==(const Piece& other) const = default;
};

std::ostream& operator<<(std::ostream& out, const Piece& piece) {
    return out << "{\"" << piece.text << "\" x=" << piece.x << " y=" << piece.y
               << " line=" << piece.line << " href=" << piece.href << "}";
}

// Every character is ten pixels wide at normal size; a line is a tenth of the size high.
class FixedWidthCallback : public Layout::Callback {
public:
    double scale() override { return 2.0; }
    int paragraphSpacing() override { return 5; }
    void setStyle(const Markup::Style& style) override { size = style.size; }
    int textWidth(const char* text, int length) override {
        int characters = 0;
        for (int i = 0; i < length; ++i) {
            if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
                ++characters;
        }
        return characters * size / 12;
    }
    int lineHeight() override { return size / 10; }
    void addFragment(const Layout::Fragment& fragment) override {
        EXPECT_EQ(fragment.width, textWidth(fragment.text, fragment.length));
        pieces.push_back({std::string(fragment.text, std::size_t(fragment.length)), fragment.x,
                          fragment.y, fragment.line, fragment.href ? fragment.href : ""});
    }

    std::vector<Piece> pieces;
    int size = 120;
};

struct LaidOut {
    std::vector<Piece> pieces;
    std::vector<Layout::Line> lines;
    int height;
};

LaidOut layOut(const char* markup, int width) {
    FixedWidthCallback callback;
    Layout layout(callback, width);
    EXPECT_TRUE(Markup::ParserHtml().render(markup, layout)) << markup;
    return {callback.pieces, layout.lines(), layout.height()};
}

TEST(MarkupLayout, BreaksAfterTheLastWordThatFitsOrInsideWordsWiderThanALine) {
    struct Case {
        const char* markup;
        int width;
        std::vector<Piece> pieces;
    };
    const Case cases[] = {
        {"short text", 100, {{"short text", 0, 0, 0, ""}}},
        {"aaa bbb ccc ddd", 100, {{"aaa bbb", 0, 0, 0, ""}, {"ccc ddd", 0, 12, 1, ""}}},
        // Blanks and line ends at the start of a continued line are skipped.
        {"aaaa   \t<b>  <br/>bbbb</b>", 60, {{"aaaa", 0, 0, 0, ""}, {"bbbb", 0, 12, 1, ""}}},
        {"aaaaaa<b>bbbbbb</b>", 100, {{"aaaaaa", 0, 0, 0, ""}, {"bbbbbb", 0, 12, 1, ""}}},
        {"\u00E4\u00F6\u00FC\u00DFabcd x",
         35,
         {{"\u00E4\u00F6\u00FC", 0, 0, 0, ""},
          {"\u00DFab", 0, 12, 1, ""},
          {"cd", 0, 24, 2, ""},
          {"x", 0, 36, 3, ""}}},
        // No room at all still places one character per line.
        {"<div style=\"padding-left:30;padding-right:30\">ab</div>",
         100,
         {{"a", 60, 0, 0, ""}, {"b", 60, 12, 1, ""}}},
        // Empty lines keep their height.
        {"a<br/><br/>b", 100, {{"a", 0, 0, 0, ""}, {"b", 0, 24, 2, ""}}},
        // Paragraphs advance by their last line and the spacing.
        {"<div>one<br/></div><div style=\"padding-left:5;padding-right:15\">two three</div>",
         100,
         {{"one", 0, 0, 0, ""}, {"two", 10, 17, 1, ""}, {"three", 10, 29, 2, ""}}},
        // The tallest run sets the line height.
        {"<span style=\"font-size:150%\">Big</span> small words",
         150,
         {{"Big", 0, 0, 0, ""}, {" small", 45, 0, 0, ""}, {"words", 0, 18, 1, ""}}},
        {"go <a href=\"https://x\">there now</a> <a href=\"u\"></a>",
         80,
         {{"go ", 0, 0, 0, ""},
          {"there", 30, 0, 0, "https://x"},
          {"now", 0, 12, 1, "https://x"},
          {" ", 30, 12, 1, ""},
          {"u", 40, 12, 1, "u"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(layOut(c.markup, c.width).pieces, c.pieces) << c.markup;
}

TEST(MarkupLayout, LinesRecordTheirExtentAndAlignmentAndAddUpToTheHeight) {
    LaidOut wrapped = layOut("aaa bbb ccc ddd", 100);
    ASSERT_EQ(wrapped.lines.size(), 2u);
    EXPECT_EQ(wrapped.lines[0].used, 70);
    EXPECT_EQ(wrapped.height, 24);
    LaidOut padded = layOut(
        "<div>one<br/></div><div style=\"padding-left:5;padding-right:15\">two three</div>", 100);
    ASSERT_EQ(padded.lines.size(), 3u);
    EXPECT_EQ(padded.lines[1].left, 10);
    EXPECT_EQ(padded.lines[1].available, 60);
    EXPECT_EQ(padded.height, 41);
    LaidOut centred = layOut("<div style=\"text-align:center\">a b c</div>", 100);
    ASSERT_EQ(centred.lines.size(), 1u);
    EXPECT_EQ(centred.lines[0].alignment, Markup::AlignCenter);
}

TEST(MarkupLayout, UnlimitedWidthNeverWraps) {
    std::string longText(5000, 'x');
    longText += " end";
    LaidOut result = layOut(longText.c_str(), Layout::UnlimitedWidth);
    EXPECT_EQ(result.pieces.size(), 1u);
    EXPECT_EQ(result.lines.size(), 1u);
}

} // namespace
