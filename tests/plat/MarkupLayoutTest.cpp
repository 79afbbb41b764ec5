// Breaking markup into lines through a measuring and drawing callback.
#include <plat/MarkupLayout.h>

#include <plat/MarkupParserHtml.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using plat::Markup;
using Layout = Markup::Layout;

// Every character is ten pixels wide at normal size; a line is a tenth of the size high.
class FixedWidthCallback : public Layout::Callback {
public:
    double scale() override { return 2.0; }
    int paragraphSpacing() override { return 5; }
    void setStyle(const Markup::Style& style) override { size = style.size; }
    int textWidth(const char* text, int length) override {
        int characters = 0;
        for (int i = 0; i < length; ++i)
            if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
                ++characters;
        return characters * size / 12;
    }
    int lineHeight() override { return size / 10; }
    void addFragment(const Layout::Fragment& fragment) override {
        EXPECT_EQ(fragment.width, textWidth(fragment.text, fragment.length));
        pieces += (pieces.empty() ? "[" : " [") +
                  std::string(fragment.text, std::size_t(fragment.length)) + "]" +
                  std::to_string(fragment.x) + "," + std::to_string(fragment.y) + "L" +
                  std::to_string(fragment.line) +
                  (fragment.href ? std::string("->") + fragment.href : "");
    }

    // "[text]x,yLline->href" for each fragment.
    std::string pieces;
    int size = 120;
};

struct LaidOut {
    std::string pieces;
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
    using Case = std::tuple<const char*, int, const char*>;
    const Case cases[] = {
        {"aaa bbb ccc ddd", 100, "[aaa bbb]0,0L0 [ccc ddd]0,12L1"},
        // Blanks and line ends at the start of a continued line are skipped.
        {"aaaa   \t<b>  <br/>bbbb</b>", 60, "[aaaa]0,0L0 [bbbb]0,12L1"},
        {"\u00E4\u00F6\u00FC\u00DFabcd x", 35,
         "[\u00E4\u00F6\u00FC]0,0L0 [\u00DFab]0,12L1 [cd]0,24L2 [x]0,36L3"},
        // No room at all still places one character per line.
        {"<div style=\"padding-left:30;padding-right:30\">ab</div>", 100, "[a]60,0L0 [b]60,12L1"},
        // Empty lines keep their height.
        {"a<br/><br/>b", 100, "[a]0,0L0 [b]0,24L2"},
        // Paragraphs advance by their last line and the spacing.
        {"<div>one<br/></div><div style=\"padding-left:5;padding-right:15\">two three</div>", 100,
         "[one]0,0L0 [two]10,17L1 [three]10,29L2"},
        // The tallest run sets the line height.
        {"<span style=\"font-size:150%\">Big</span> small words", 150,
         "[Big]0,0L0 [ small]45,0L0 [words]0,18L1"},
        {"go <a href=\"https://x\">there now</a> <a href=\"u\"></a>", 80,
         "[go ]0,0L0 [there]30,0L0->https://x [now]0,12L1->https://x [ ]30,12L1 [u]40,12L1->u"},
    };
    for (const auto& [markup, width, pieces] : cases)
        EXPECT_EQ(layOut(markup, width).pieces, pieces) << markup;
}

} // namespace
