// Label layout and sizes, text repair, and selection copying.
#include "support/TestWindow.h"

#include <wvw/Style.h>
#include <wvw/WLabel.h>
#include <wvw/WLabelButton.h>
#include <wvw/keysyms.h>

#include <plat/utf8.h>

#include <gtest/gtest.h>

using wvwtest::TestWindow;

namespace {

const tqutil::Font& font() {
    return *wvw::Style::defaultStyle().font;
}

TEST(WLabelSize, AnEmptyLabelIsTwiceThePaddingWideAndHasNoLines) {
    wvw::WLabel label;
    EXPECT_TRUE(label.getLines().empty());
    EXPECT_EQ(label.getPreferredSize(), rfb::Point(8, 0));
}

TEST(WLabelSize, PreferredSizeIsTheWidestLinePlusPaddingByTheLines) {
    wvw::WLabel label("aaa bbbbbb\nc");
    label.setSize({200, 0});

    ASSERT_EQ(label.getLines().size(), 2u);
    EXPECT_EQ(label.getPreferredSize(),
              rfb::Point(font().textWidth("aaa bbbbbb") + 8, 2 * font().height()));
    EXPECT_EQ(label.getMinimumSize().x, font().textWidth("aaa bbbbbb") + font().textWidth(" c"));
}

// The message box measures its label at 0 x 0 first.
TEST(WLabelSize, ALabelNarrowerThanItsPaddingPutsEveryWordOnItsOwnLine) {
    wvw::WLabel label("one two three");
    for (int width : {0, 8, -5}) {
        label.setSize({width, 0});
        EXPECT_EQ(label.getLines().size(), 3u) << width;
        EXPECT_EQ(label.getHeightForWidth(width), 3 * font().height());
    }
}

TEST(WLabelSize, AWordWiderThanTheLabelBreaksAtCharacterBoundaries) {
    std::string word;
    for (int i = 0; i < 128; ++i)
        word += "\xC3\xBC";
    wvw::WLabel label(("see /" + word + " now").c_str());
    label.setSize({208, 0});

    ASSERT_GT(label.getLines().size(), 3u);
    for (const std::string& line : label.getLines()) {
        EXPECT_LE(font().textWidth(line.c_str()), 200) << line;
        EXPECT_TRUE(plat::isValidUtf8(line.c_str()));
    }
}

TEST(WLabelText, InvalidUtf8IsShownAsTheReplacementCharacter) {
    wvw::WLabel label("/home/j\xF6rg");
    EXPECT_STREQ(label.getText(), "/home/j\xEF\xBF\xBDrg");
}

struct SelectionTest : ::testing::Test {
    SelectionTest() { label.setSelectable(true); }
    wvw::WLabel label{"Gr\xC3\xBC\xC3\x9F"
                      "e aus Berlin"};
    TestWindow window{label, {300, 30}};
};

TEST_F(SelectionTest, ABackwardDragCopiesTheSameBytesAsAForwardOne) {
    int y = window.content.height() / 2;
    int start = 4 + font().textWidth("Gr");
    int end = 4 + font().textWidth("Gr\xC3\xBC\xC3\x9F"
                                   "e au");
    window.pointer({start, y}, 1);
    window.pointer({end, y}, 1);
    window.pointer({end, y}, 0);
    window.keysDown.insert(wvw::keysym::ControlL);
    window.type('c');
    std::string forward = window.clipboard;

    window.keysDown.clear();
    window.pointer({end, y}, 1);
    window.pointer({start, y}, 1);
    window.pointer({start, y}, 0);
    window.keysDown.insert(wvw::keysym::ControlL);
    window.type('C');

    EXPECT_EQ(forward, "\xC3\xBC\xC3\x9F"
                       "e au");
    EXPECT_LT(label.getSelectionLength(), 0);
    EXPECT_EQ(window.clipboard, forward);
}

TEST_F(SelectionTest, ANewTextDropsTheSelection) {
    label.selectAll();
    label.setText("ab");
    window.keysDown.insert(wvw::keysym::ControlL);
    window.clipboard = "unchanged";
    window.type('c');

    EXPECT_EQ(label.getSelectionLength(), 0);
    EXPECT_EQ(window.clipboard, "unchanged");
}

TEST(WLabelButtonSize, IsAtLeastSixtyWideAndSixLargerThanItsLabel) {
    wvw::WLabelButton narrow("x");
    wvw::WLabelButton wide("A much longer button text");

    EXPECT_EQ(narrow.getPreferredSize(), rfb::Point(60, font().height() + 6));
    EXPECT_EQ(wide.getPreferredSize().x, font().textWidth("A much longer button text") + 6);
}

} // namespace
