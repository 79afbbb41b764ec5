// Tooltips: their size around the text and where they go near the screen's edges.
#include "support/TestScreen.h"

#include <wvw/WCanvas.h>
#include <wvw/WLabel.h>
#include <wvw/WTooltip.h>

#include <gtest/gtest.h>

using wvwtest::ScreenWindow;
using wvwtest::TestScreen;

namespace {

struct TooltipTest : ::testing::Test {
    TooltipTest() { canvas.setChildRect(&widget, {20, 10, 120, 30}); }

    // Where the tooltip shows for a window at windowPosition, asked for at (2, 16) from the widget.
    rfb::Point shownAt(rfb::Point windowPosition) {
        window.position = windowPosition;
        tooltip.show({2, 16}, &widget);
        return screen.windowOf(&tooltip)->position;
    }

    TestScreen screen{{0, 0, 800, 600}};
    wvw::WCanvas canvas;
    wvw::WLabel widget{"widget", 0, &canvas};
    ScreenWindow window{canvas, {200, 100}, screen, {0, 0}};
    wvw::WTooltip tooltip{320};
};

TEST_F(TooltipTest, SitsBelowTheWidgetAndMovesLeftOrAboveItAtTheScreensEdges) {
    tooltip.setText(
        "A <plain> & long text that wraps at the tooltip's maximum width of 320 pixels");
    const wvw::WRichText& text = tooltip.getRichText();

    EXPECT_EQ(shownAt({100, 100}), rfb::Point(122, 126));
    EXPECT_FALSE(screen.popups[0].grab);
    EXPECT_LE(text.width(), 320);
    EXPECT_EQ(tooltip.getSize(), text.getSize().translate({4, 4}));
    EXPECT_EQ(tooltip.getChildPosition(&text), rfb::Point(2, 2));
    EXPECT_EQ(shownAt({700, 100}).x, 720 - tooltip.width() - 2);
    EXPECT_EQ(shownAt({100, 590}).y, 600 - tooltip.height() - 2);

    tooltip.hide();
    EXPECT_TRUE(screen.popups.empty());
}

} // namespace
