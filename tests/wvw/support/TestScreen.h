// A screen for pop-ups without X: a root that shows each pop-up in a test window of its own, as
// the window host's root does, and windows that lie at a position on that screen.
#pragma once

#include "TestWindow.h"

#include <wvw/WRoot.h>

#include <memory>
#include <vector>

namespace wvwtest {

class ScreenWindow : public TestWindow {
public:
    ScreenWindow(wvw::Widget& content, rfb::Point size, wvw::WRoot& root, rfb::Point position)
        : TestWindow(content, size), root(root), position(position) {}

    wvw::WRoot* getRoot(rfb::Point& screenPosition) override {
        screenPosition = position;
        return &root;
    }

    wvw::WRoot& root;
    rfb::Point position;
};

class TestScreen : public wvw::WRoot {
public:
    explicit TestScreen(rfb::Rect area = {0, 0, 1280, 1024}) : area(area) {}

    // The pop-up gets a window of its preferred size at the position.
    void showPopup(wvw::Widget* widget, const rfb::Point& position, bool grab) override;
    void hidePopup(wvw::Widget* widget) override;
    rfb::Rect screenRect() const override { return area; }

    struct Popup {
        wvw::Widget* widget;
        bool grab;
        std::unique_ptr<ScreenWindow> window;
    };
    // The window that shows the widget, or null.
    ScreenWindow* windowOf(const wvw::Widget* widget) const;

    rfb::Rect area;
    std::vector<Popup> popups;
};

} // namespace wvwtest
