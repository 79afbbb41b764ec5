// The popup manager of a screen: shows a widget in a window of its own at a screen position, hides
// it again, and tells the screen's size.
#pragma once

#include <rfb/Rect.h>

namespace wvw {

class Widget;

class WRoot {
public:
    virtual ~WRoot() = default;

    // Shows the widget at its preferred size with its top-left at position; with grab, pointer
    // and keyboard go to it until it is hidden.
    virtual void showPopup(Widget* widget, const rfb::Point& position, bool grab) = 0;
    virtual void hidePopup(Widget* widget) = 0;
    virtual rfb::Rect screenRect() const = 0;
};

} // namespace wvw
