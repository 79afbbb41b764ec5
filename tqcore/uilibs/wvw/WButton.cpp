// Button press, release and key activation.
#include <wvw/WButton.h>

#include <wvw/keysyms.h>

namespace wvw {

WButton::WButton(WLayout* parentLayout) : WLayout(false, parentLayout) {
    setPropagateEnabled(true);
}

void WButton::setPressed(bool newPressed) {
    if (pressed == newPressed)
        return;
    pressed = newPressed;
    invalidate();
    stateChanged(this, pressed);
}

void WButton::keyPress(int keysym, bool down) {
    // Keys reach a button only along the focus path.
    if (down && (keysym == keysym::Return || keysym == keysym::Space)) {
        activated(this);
        return;
    }
    WLayout::keyPress(keysym, down);
}

bool WButton::pointerMoved(const rfb::Point& position, Widget* origin) {
    if (origin == this && (getButtonMask() & 1) &&
        rfb::Rect(0, 0, width(), height()).contains(position))
        setPressed(true);
    return WLayout::pointerMoved(position, origin);
}

bool WButton::buttonPressed(int button, Widget* origin) {
    if (origin == this && button == 1)
        setPressed(true);
    return WLayout::buttonPressed(button, origin);
}

bool WButton::buttonReleased(int button, Widget* origin) {
    if (origin == this && button == 1 && pressed) {
        setPressed(false);
        rfb::Point at = getLastPointerPosition();
        if (rfb::Rect(0, 0, width(), height()).contains(at))
            activated(this);
    }
    return WLayout::buttonReleased(button, origin);
}

} // namespace wvw
