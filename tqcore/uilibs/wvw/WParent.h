// What a widget may ask of its container: repaint, focus, keyboard state, the clipboard and the
// screen. Layouts answer for their children and pass requests up to the window that hosts them.
#pragma once

#include <rfb/Rect.h>
#include <rfb/Region.h>

#include <plat/DString.h>

namespace rfb {
class PixelBuffer;
}

namespace wvw {

class Widget;
class WRoot;

class WParent {
public:
    virtual ~WParent() = default;

    // region in the child's coordinates.
    virtual void invalidate(Widget* child, const rfb::Region& region) = 0;
    virtual void bell() = 0;
    // False when the child (or this container) cannot take the focus.
    virtual bool setFocus(Widget* child) = 0;
    virtual bool hasFocus(const Widget* child) const = 0;
    // False when there is no further widget to move to at this level.
    virtual bool focusNext() = 0;
    virtual bool focusPrev() = 0;
    virtual bool isKeyDown(int keysym) const = 0;
    virtual plat::DString getClipboard() = 0;
    virtual void setClipboard(const char* text) = 0;
    // The popup manager of the screen, or null; screenPosition receives where this container's
    // origin lies on the screen.
    virtual WRoot* getRoot(rfb::Point& screenPosition) = 0;
    // rect in the child's coordinates.
    virtual void showRect(Widget* child, const rfb::Rect& rect) = 0;
    virtual void setDragImage(const rfb::Point& position, rfb::PixelBuffer* image) = 0;
};

} // namespace wvw
