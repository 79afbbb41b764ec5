// The observers of widget activity: keyboard and state notifications, and pointer input. Every
// operation returns true when it consumed the call; the defaults consume nothing.
#pragma once

#include <rfb/Rect.h>

namespace wvw {

class Widget;
class WParent;

class WInputHandler {
public:
    virtual ~WInputHandler() = default;

    virtual bool keyEvent(int /*keysym*/, bool /*down*/, Widget* /*origin*/) { return false; }
    virtual bool focusChanged(bool /*backward*/, Widget* /*origin*/) { return false; }
    virtual bool activated(Widget* /*origin*/) { return false; }
    virtual bool stateChanged(Widget* /*origin*/, int /*value*/) { return false; }
    virtual bool visibilityChanged(Widget* /*origin*/) { return false; }
    virtual bool attached(Widget* /*origin*/) { return false; }
    virtual bool detached(Widget* /*origin*/, WParent* /*parent*/) { return false; }
    virtual bool enabledChanged(Widget* /*origin*/) { return false; }
    virtual bool resized(Widget* /*origin*/) { return false; }
    virtual bool paste(Widget* /*origin*/) { return false; }
    virtual bool copy(Widget* /*origin*/) { return false; }
};

// Positions are in the coordinates of the originating widget; buttons count from 1.
class WMouseInputHandler {
public:
    virtual ~WMouseInputHandler() = default;

    virtual bool pointerMoved(const rfb::Point& /*position*/, Widget* /*origin*/) { return false; }
    virtual bool buttonPressed(int /*button*/, Widget* /*origin*/) { return false; }
    virtual bool buttonReleased(int /*button*/, Widget* /*origin*/) { return false; }
    virtual bool pointerLeft(Widget* /*origin*/) { return false; }
};

} // namespace wvw
