// Widget events with the click timer on a controlled clock, the handler chain, and what a
// destroyed widget leaves behind.
#include "support/TestWindow.h"

#include <wvw/WCanvas.h>
#include <wvw/keysyms.h>

#include <plat/Timer.h>
#include <plat/support/FakeClock.h>

#include <gtest/gtest.h>

#include <memory>

using wvwtest::TestWindow;

namespace {

struct Leaf : wvw::Widget {
    using Widget::Widget;
    void paint(rfb::FullFramePixelBuffer*) override {}
    rfb::Point getPreferredSize() override { return {10, 10}; }
};

struct EventRecorder : wvw::WidgetEventCallback {
    void widgetEvent(const wvw::WidgetEvent& event) override { types.push_back(event.type); }
    std::vector<int> types;
};

struct ClickTest : ::testing::Test {
    ClickTest() { leaf.setListener(&events); }

    plattest::FakeClock clock;
    plat::TimerManager timers;
    Leaf leaf;
    EventRecorder events;
    TestWindow window{leaf, {20, 20}};
};

TEST_F(ClickTest, ASecondClickWithinTheClickTimeAtTheSamePlaceIsADoubleClickThenAClick) {
    window.click({5, 5});
    clock.advanceMs(wvw::Widget::ClickTimeMs - 1);
    timers.process();
    window.click({5, 5});

    EXPECT_EQ(events.types, (std::vector<int>{4, 0, 1, 0, 2, 1}));
}

TEST_F(ClickTest, AClickLeftAloneForTheClickTimeIsConfirmed) {
    window.click({5, 5});
    clock.advanceMs(wvw::Widget::ClickTimeMs);
    timers.process();
    window.click({5, 5});

    EXPECT_EQ(events.types, (std::vector<int>{4, 0, 1, 3, 0, 1}));
}

TEST_F(ClickTest, MotionBetweenClicksSpoilsTheDoubleClick) {
    window.click({5, 5});
    window.click({6, 5});

    EXPECT_EQ(events.types, (std::vector<int>{4, 0, 1, 4, 0, 1}));
}

TEST_F(ClickTest, CtrlClickAndThirdButtonAreContextClicksOnly) {
    window.keysDown.insert(wvw::keysym::ControlR);
    window.click({5, 5});
    window.keysDown.clear();
    window.pointer({5, 5}, 4);
    window.pointer({5, 5}, 0);
    leaf.pointerLeave();

    EXPECT_EQ(events.types, (std::vector<int>{4, 0, 6, 6, 5}));
}

TEST_F(ClickTest, ADestroyedWidgetsClickTimerNeverFires) {
    auto doomed = std::make_unique<Leaf>();
    EventRecorder doomedEvents;
    doomed->setListener(&doomedEvents);
    {
        TestWindow other(*doomed, {10, 10});
        other.click({1, 1});
    }
    doomed.reset();
    clock.advanceMs(wvw::Widget::ClickTimeMs);

    EXPECT_EQ(timers.process(), -1);
    EXPECT_EQ(doomedEvents.types, (std::vector<int>{4, 0, 1}));
}

struct Consumer : wvw::WInputHandler {
    explicit Consumer(bool consume) : consume(consume) {}
    bool activated(wvw::Widget*) override {
        ++calls;
        return consume;
    }
    bool consume;
    int calls = 0;
};

TEST(WidgetHandlerChain, TheOwnHandlerComesFirstAndTheFirstTrueEndsTheChain) {
    Consumer declining(false), consuming(true);
    Leaf leaf;
    TestWindow window(leaf, {10, 10});

    leaf.setInputHandler(&declining);
    leaf.activated(&leaf);
    leaf.setInputHandler(&consuming);
    leaf.activated(&leaf);

    EXPECT_EQ(declining.calls, 1);
    EXPECT_EQ(consuming.calls, 1);
    EXPECT_EQ(window.activations, std::vector<wvw::Widget*>{&leaf});
}

TEST(WidgetLifetime, ADestroyedChildLeavesFocusCaptureAndTheAttachedSet) {
    wvw::WCanvas canvas;
    TestWindow window(canvas, {100, 100});
    auto doomed = std::make_unique<Leaf>(&canvas);
    Leaf survivor(&canvas);
    canvas.setChildRect(doomed.get(), {0, 0, 50, 50});
    canvas.setChildRect(&survivor, {50, 0, 100, 50});
    window.pointer({10, 10}, 1); // captures the pointer
    ASSERT_TRUE(canvas.setFocus(doomed.get()));

    doomed.reset();
    window.pointer({60, 10}, 0);
    window.type(wvw::keysym::Tab);
    window.paint();

    EXPECT_EQ(canvas.childCount(), 1);
    EXPECT_EQ(canvas.getFocusChild(), &survivor);
}

} // namespace
