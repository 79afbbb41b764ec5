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

void TXWRoot::hidePopup(wvw::Widget* widget) {
    auto popup = popups.find(widget);
    if (popup == popups.end())
        return;
    popup->second->setGrab(false, false);
    popups.erase(popup);
}

rfb::Rect TXWRoot::screenRect() const {
    Display* dpy = TXWindow::display();
    int screen = DefaultScreen(dpy);
    return {0, 0, DisplayWidth(dpy, screen), DisplayHeight(dpy, screen)};
}

} // namespace tx
