// The popup manager of the screen: shows widgets (menus, tooltips) in override-redirect windows
// of their own at screen positions and reports the screen's size. One per process.
#pragma once

#include <tx/TXWindow.h>

#include <wvw/WRoot.h>

#include <map>
#include <memory>

namespace tx {

class TXWParent;

class TXWRoot : public wvw::WRoot, private TXEventHandler {
public:
    // Created on first use, with the display open.
    static TXWRoot& instance();

    void showPopup(wvw::Widget* widget, const rfb::Point& position, bool grab) override;
    void hidePopup(wvw::Widget* widget) override;
    rfb::Rect screenRect() const override;

private:
    TXWRoot() = default;
    bool handleEvent(XEvent&) override { return false; }

    std::map<wvw::Widget*, std::unique_ptr<TXWParent>> popups;
};

} // namespace tx
