// Focus order, pointer routing and capture, damage and the preferred size of layouts.
#include "support/TestWindow.h"

#include <wvw/WButton.h>
#include <wvw/WCanvas.h>
#include <wvw/keysyms.h>

#include <gtest/gtest.h>

using wvwtest::TestWindow;

namespace {

struct Leaf : wvw::Widget {
    explicit Leaf(wvw::WLayout* layout, bool focusable = true)
        : Widget(layout), focusable(focusable) {}
    void paint(rfb::FullFramePixelBuffer*) override {}
    rfb::Point getPreferredSize() override { return {10, 10}; }
    bool acceptsFocus() const override { return focusable && Widget::acceptsFocus(); }
    bool buttonPressed(int button, Widget* origin) override {
        if (origin == this)
            ++presses;
        return Widget::buttonPressed(button, origin);
    }
    bool buttonReleased(int button, Widget* origin) override {
        if (origin == this)
            ++releases;
        return Widget::buttonReleased(button, origin);
    }
    bool focusable;
    int presses = 0;
    int releases = 0;
};

struct LayoutTest : ::testing::Test {
    LayoutTest() {
        canvas.setChildRect(&a, {0, 0, 10, 10});
        canvas.setChildRect(&label, {10, 0, 20, 10});
        canvas.setChildRect(&b, {20, 0, 30, 10});
        canvas.setChildRect(&c, {30, 0, 40, 10});
    }
    wvw::WCanvas canvas;
    Leaf a{&canvas}, label{&canvas, false}, b{&canvas}, c{&canvas};
    TestWindow window{canvas, {40, 10}};
};

TEST_F(LayoutTest, TabDownShiftTabAndUpMoveTheFocusSkippingWhatTakesNoFocusAndWrap) {
    ASSERT_TRUE(canvas.focusFirst());
    std::vector<wvw::Widget*> seen;
    auto press = [&](int keysym) {
        window.type(keysym);
        seen.push_back(canvas.getFocusChild());
    };
    press(wvw::keysym::Tab);
    press(wvw::keysym::Down);
    press(wvw::keysym::Tab);
    press(wvw::keysym::Up);
    window.keysDown.insert(wvw::keysym::ShiftL);
    press(wvw::keysym::Tab);
    press(wvw::keysym::IsoLeftTab); // no meaning of its own
    press(wvw::keysym::Escape);

    EXPECT_EQ(seen, (std::vector<wvw::Widget*>{&b, &c, &a, &c, &b, &b, &b}));
}

TEST_F(LayoutTest, HiddenChildrenAreSkippedByFocusAndHitTesting) {
    ASSERT_TRUE(canvas.setFocus(&b));
    b.setVisible(false);
    EXPECT_EQ(canvas.getFocusChild(), &c);

    window.click({25, 5});
    EXPECT_EQ(b.presses, 0);
    window.click({35, 5});
    EXPECT_EQ(c.presses, 1);
}

TEST_F(LayoutTest, ThePressedChildCapturesThePointerUntilEveryButtonIsReleased) {
    window.pointer({5, 5}, 1);
    window.pointer({25, 5}, 1);
    window.pointer({25, 5}, 0);

    EXPECT_EQ(a.presses, 1);
    EXPECT_EQ(a.releases, 1);
    EXPECT_EQ(b.presses + b.releases, 0);
}

TEST_F(LayoutTest, DamageIsTranslatedAndClampedAndAnUnchangedSizeCausesNone) {
    window.damage.clear();
    b.setSize(b.getSize());
    EXPECT_TRUE(window.damage.isEmpty());

    b.invalidate();
    EXPECT_EQ(window.damage.getBoundingRect(), rfb::Rect(20, 0, 30, 10));

    canvas.setChildRect(&c, {30, 0, 40000, 10});
    EXPECT_EQ(window.damage.getBoundingRect().br.x, 32767);
}

TEST_F(LayoutTest, PreferredSizeIsTheChildrensExtentPlusTheMargin) {
    canvas.setMargin({4, 3});
    canvas.setChildRect(&c, {30, 5, 47, 25});

    EXPECT_EQ(canvas.getPreferredSize(), rfb::Point(51, 28));
}

} // namespace
