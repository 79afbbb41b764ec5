// Pop-up windows of the test screen.
#include "TestScreen.h"

#include <algorithm>

namespace wvwtest {

void TestScreen::showPopup(wvw::Widget* widget, const rfb::Point& position, bool grab) {
    if (ScreenWindow* shown = windowOf(widget)) {
        shown->position = position;
        return;
    }
    auto window =
        std::make_unique<ScreenWindow>(*widget, widget->getPreferredSize(), *this, position);
    popups.push_back(Popup{widget, grab, std::move(window)});
}

// Like the real root, the window leaves the list before it goes: detaching its widget may hide
// further pop-ups.
void TestScreen::hidePopup(wvw::Widget* widget) {
    auto popup = std::find_if(popups.begin(), popups.end(),
                              [&](const Popup& shown) { return shown.widget == widget; });
    if (popup == popups.end())
        return;
    std::unique_ptr<ScreenWindow> window = std::move(popup->window);
    popups.erase(popup);
}

ScreenWindow* TestScreen::windowOf(const wvw::Widget* widget) const {
    for (const Popup& popup : popups)
        if (popup.widget == widget)
            return popup.window.get();
    return nullptr;
}

} // namespace wvwtest
