// Popup windows by widget.
#include <tx/TXWRoot.h>

#include <tx/TXWParent.h>

namespace tx {

TXWRoot& TXWRoot::instance() {
    // Never destroyed: popups hold X windows that must not outlive the display's use.
    static TXWRoot* root = new TXWRoot;
    return *root;
}

void TXWRoot::showPopup(wvw::Widget* widget, const rfb::Point& position, bool grab) {
    auto& popup = popups[widget];
    if (!popup)
        popup = std::make_unique<TXWParent>(widget, nullptr, true);
    rfb::Point size = widget->getPreferredSize();
    popup->resize(size.x, size.y);
    popup->setPosition(position.x, position.y);
    popup->show(true);
    if (grab)
        popup->setGrab(true, true);
}

// The window leaves the table before it is destroyed: destroying it detaches its widget, which may
// hide pop-ups of its own (a menu's open submenu) and so come back here.
void TXWRoot::hidePopup(wvw::Widget* widget) {
    auto popup = popups.find(widget);
    if (popup == popups.end())
        return;
    std::unique_ptr<TXWParent> window = std::move(popup->second);
    popups.erase(popup);
    window->setGrab(false, false);
    window.reset();
    // The grab ends on the server now rather than at the next flush: whoever hears of a menu's
    // choice may hand the pointer to another client.
    if (!TXWindow::connectionLost())
        XFlush(TXWindow::display());
}

rfb::Rect TXWRoot::screenRect() const {
    Display* dpy = TXWindow::display();
    int screen = DefaultScreen(dpy);
    return {0, 0, DisplayWidth(dpy, screen), DisplayHeight(dpy, screen)};
}

} // namespace tx
