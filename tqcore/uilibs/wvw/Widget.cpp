// The widget base: the handler chain, attaching, keys, pointer state, widget events with the
// click timer, damage and size.
#include <wvw/Widget.h>

#include <wvw/Style.h>
#include <wvw/WLayout.h>
#include <wvw/WParent.h>
#include <wvw/keysyms.h>

#include <plat/Exception.h>

namespace wvw {

Widget::Widget(WLayout* layout) : clickTimer(this) {
    if (layout)
        layout->addChild(this);
}

Widget::~Widget() {
    clickTimer.stop();
    if (parentLayout)
        parentLayout->removeChild(this);
    else
        clearParent();
}

#define WVW_CHAIN(call)                                                                            \
    return (inputHandler && inputHandler->call) || (parentInput && parentInput->call)

bool Widget::keyEvent(int keysym, bool down, Widget* origin) {
    WVW_CHAIN(keyEvent(keysym, down, origin));
}
bool Widget::focusChanged(bool backward, Widget* origin) {
    WVW_CHAIN(focusChanged(backward, origin));
}
bool Widget::activated(Widget* origin) {
    WVW_CHAIN(activated(origin));
}
bool Widget::stateChanged(Widget* origin, int value) {
    WVW_CHAIN(stateChanged(origin, value));
}
bool Widget::visibilityChanged(Widget* origin) {
    WVW_CHAIN(visibilityChanged(origin));
}
bool Widget::attached(Widget* origin) {
    WVW_CHAIN(attached(origin));
}
bool Widget::detached(Widget* origin, WParent* oldParent) {
    WVW_CHAIN(detached(origin, oldParent));
}
bool Widget::enabledChanged(Widget* origin) {
    WVW_CHAIN(enabledChanged(origin));
}
bool Widget::resized(Widget* origin) {
    WVW_CHAIN(resized(origin));
}
bool Widget::paste(Widget* origin) {
    WVW_CHAIN(paste(origin));
}
bool Widget::copy(Widget* origin) {
    WVW_CHAIN(copy(origin));
}

#undef WVW_CHAIN

#define WVW_MOUSE_CHAIN(call)                                                                      \
    return (mouseHandler && mouseHandler->call) || (parentMouse && parentMouse->call)

bool Widget::pointerMoved(const rfb::Point& position, Widget* origin) {
    if (origin == this && listener && parent) {
        // Any motion spoils a pending double click.
        clickMoved = true;
        sendWidgetEvent(WidgetEvent::PointerMoved, position);
    }
    WVW_MOUSE_CHAIN(pointerMoved(position, origin));
}

bool Widget::buttonPressed(int button, Widget* origin) {
    if (origin == this && button == 1 && listener && parent) {
        if (acceptsFocus())
            setFocus();
        sendWidgetEvent(WidgetEvent::ButtonPressed, pointerPos);
    }
    WVW_MOUSE_CHAIN(buttonPressed(button, origin));
}

bool Widget::buttonReleased(int button, Widget* origin) {
    if (origin == this && listener && parent) {
        if (button == 1)
            handleReleaseForClicks();
        else if (button == 3)
            sendWidgetEvent(WidgetEvent::ContextClick, pointerPos);
    }
    WVW_MOUSE_CHAIN(buttonReleased(button, origin));
}

bool Widget::pointerLeft(Widget* origin) {
    if (origin == this && listener && parent)
        sendWidgetEvent(WidgetEvent::PointerLeft, pointerPos);
    WVW_MOUSE_CHAIN(pointerLeft(origin));
}

#undef WVW_MOUSE_CHAIN

void Widget::handleReleaseForClicks() {
    bool pending = clickTimer.isActive();
    clickTimer.stop();
    if (ctrlHeld()) {
        sendWidgetEvent(WidgetEvent::ContextClick, pointerPos);
        return;
    }
    rfb::Point rootPosition = getRootPosition().translate(pointerPos);
    if (pending && !clickMoved && rootPosition == clickPos) {
        sendWidgetEvent(WidgetEvent::DoubleClick, pointerPos);
    } else {
        clickPos = rootPosition;
        clickMoved = false;
        if (plat::TimerManager::threadHasManager())
            clickTimer.start(ClickTimeMs);
    }
    sendWidgetEvent(WidgetEvent::Click, pointerPos);
}

bool Widget::timerExpired(plat::Timer*) {
    sendWidgetEvent(WidgetEvent::ClickConfirmed, clickPos.subtract(getRootPosition()));
    return false;
}

void Widget::sendWidgetEvent(int type, const rfb::Point& position) {
    if (listener)
        listener->widgetEvent(WidgetEvent{type, position, this});
}

void Widget::styleChanged() {
    invalidate();
}

void Widget::setTooltip(const char* text) {
    if (text == nullptr)
        text = "";
    if (tooltip != text)
        tooltip = text;
}

void Widget::setParent(WParent* newParent, WInputHandler* newParentInput,
                       WMouseInputHandler* newParentMouse) {
    PLAT_ASSERT(!parent);
    parent = newParent;
    parentInput = newParentInput;
    parentMouse = newParentMouse;
    invalidate();
    attached(this);
}

void Widget::clearParent() {
    if (!parent)
        return;
    detached(this, parent);
    clickTimer.stop();
    parent = nullptr;
    parentInput = nullptr;
    parentMouse = nullptr;
}

void Widget::pointerEvent(const rfb::Point& position, int mask) {
    if (position != pointerPos) {
        pointerPos = position;
        pointerMoved(position, this);
    }
    // Only eight buttons are tracked; the caller drops higher ones.
    mask &= 0xFF;
    for (int bit = 0; bit < 8; ++bit) {
        int flag = 1 << bit;
        if ((mask & flag) == (buttonMask & flag))
            continue;
        buttonMask = std::uint8_t(buttonMask ^ flag);
        if (mask & flag)
            buttonPressed(bit + 1, this);
        else
            buttonReleased(bit + 1, this);
    }
}

void Widget::pointerLeave() {
    pointerLeft(this);
}

void Widget::keyPress(int keysym, bool down) {
    keysym = keysym::legacyKeysym(keysym);
    if (keyEvent(keysym, down, this) || !down)
        return;
    if (ctrlHeld() && (keysym == 'c' || keysym == 'C')) {
        copy(this);
    } else if (ctrlHeld() && (keysym == 'v' || keysym == 'V')) {
        if (!paste(this))
            bell();
    } else if (!parent) {
        return;
    } else if (keysym == keysym::Tab || keysym == keysym::Up || keysym == keysym::Down) {
        moveFocusOn(keysym == keysym::Down || (keysym == keysym::Tab && !shiftHeld()));
    }
}

void Widget::moveFocusOn(bool forward) {
    // A layout that has lost its focus child (hidden, disabled or destroyed) starts again
    // within itself rather than handing the key on.
    auto* layout = dynamic_cast<WLayout*>(this);
    if (layout && !layout->getFocusChild() &&
        (forward ? layout->focusFirst() : layout->focusLast()))
        return;
    forward ? parent->focusNext() : parent->focusPrev();
}

void Widget::invalidate() {
    invalidate(rfb::Region(rfb::Rect(0, 0, size.x, size.y)));
}

void Widget::invalidate(const rfb::Region& region) {
    if (parent && visible && !region.isEmpty())
        parent->invalidate(this, region);
}

void Widget::bell() {
    if (parent)
        parent->bell();
}

void Widget::setSize(const rfb::Point& newSize) {
    if (newSize == size)
        return;
    rfb::Region damage(rfb::Rect(0, 0, size.x, size.y));
    damage.assignUnion(rfb::Region(rfb::Rect(0, 0, newSize.x, newSize.y)));
    size = newSize;
    invalidate(damage);
    resized(this);
}

void Widget::setVisible(bool show) {
    if (show == visible)
        return;
    bool focused = hasFocus();
    if (!show)
        invalidate();
    visible = show;
    if (show)
        invalidate();
    else if (focused)
        parent->focusNext();
    visibilityChanged(this);
}

void Widget::setEnabled(bool enable) {
    if (enable == enabled)
        return;
    bool focused = hasFocus();
    enabled = enable;
    invalidate();
    if (!enable && focused)
        parent->focusNext();
    enabledChanged(this);
}

bool Widget::isKeyDown(int keysym) const {
    return parent && parent->isKeyDown(keysym);
}

bool Widget::hasFocus() const {
    return parent && parent->hasFocus(this);
}

bool Widget::setFocus() {
    return parent && parent->setFocus(this);
}

const Style& Widget::getStyle() const {
    for (const Widget* w = this; w; w = w->parentLayout)
        if (w->style)
            return *w->style;
    return Style::defaultStyle();
}

void Widget::setStyle(const Style* newStyle) {
    style = newStyle;
    styleChanged();
}

rfb::Point Widget::getRootPosition() const {
    rfb::Point position;
    const Widget* w = this;
    for (; w->parentLayout; w = w->parentLayout)
        position = position.translate(w->parentLayout->getChildPosition(w));
    rfb::Point screen;
    if (w->parent && w->parent->getRoot(screen))
        position = position.translate(screen);
    return position;
}

bool Widget::ctrlHeld() const {
    return isKeyDown(keysym::ControlL) || isKeyDown(keysym::ControlR);
}

bool Widget::shiftHeld() const {
    return isKeyDown(keysym::ShiftL) || isKeyDown(keysym::ShiftR);
}

} // namespace wvw
