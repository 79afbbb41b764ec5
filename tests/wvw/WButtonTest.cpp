// Button activation by pointer and keys, and the bevel's faces, borders and focus frame.
#include "support/TestWindow.h"

#include <wvw/Style.h>
#include <wvw/WCanvas.h>
#include <wvw/WLabelButton.h>
#include <wvw/keysyms.h>
#include <wvw/painting.h>

#include <gtest/gtest.h>

using wvwtest::TestWindow;

namespace {

struct ButtonTest : ::testing::Test {
    ButtonTest() {
        canvas.setChildRect(&ok, {10, 10, 80, 35});
        canvas.setChildRect(&cancel, {90, 10, 160, 35});
        canvas.setFocus(&ok);
    }
    plat::Rgb colourAt(int x, int y) {
        rfb::ManagedPixelBuffer& pb = window.paint();
        return wvw::colourOf(pb, pb.getPixel({x, y}));
    }

    wvw::WCanvas canvas;
    wvw::WLabelButton ok{"OK", &canvas};
    wvw::WLabelButton cancel{"Cancel", &canvas};
    TestWindow window{canvas, {170, 45}};
    const wvw::Style& style = wvw::Style::defaultStyle();
};

TEST_F(ButtonTest, ReturnAndSpaceActivateTheFocusedButtonAndOtherKeysDoNot) {
    window.type(wvw::keysym::Escape);
    window.type('x');
    window.type(wvw::keysym::Return);
    window.type(wvw::keysym::Tab);
    window.type(wvw::keysym::Space);

    EXPECT_EQ(window.activations, (std::vector<wvw::Widget*>{&ok, &cancel}));
}

TEST_F(ButtonTest, OnlyAReleaseInsideThePressedButtonActivatesIt) {
    window.pointer({20, 20}, 1);
    EXPECT_TRUE(ok.isPressed());
    window.pointer({85, 20}, 1);
    window.pointer({85, 20}, 0);
    window.click({100, 20});

    EXPECT_FALSE(ok.isPressed());
    EXPECT_EQ(window.activations, std::vector<wvw::Widget*>{&cancel});
}

TEST_F(ButtonTest, FacesBordersAndTheFocusFrameUseTheStyleColours) {
    EXPECT_EQ(colourAt(12, 22), style.buttonFace(false));
    EXPECT_EQ(colourAt(13, 10), style.focus);        // outer outline of the focused button
    EXPECT_EQ(colourAt(93, 10), style.borderDark()); // outer outline, unfocused
    EXPECT_EQ(colourAt(93, 11), style.borderLight());
    EXPECT_EQ(colourAt(5, 5), style.labelBg());

    window.pointer({100, 20}, 1);
    EXPECT_EQ(colourAt(93, 10), style.borderLight());
    EXPECT_EQ(colourAt(102, 22), style.buttonFace(true));
}

} // namespace
