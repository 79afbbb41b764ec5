// Child placement, focus traversal, pointer routing with capture, damage and painting of
// layouts.
#include <wvw/WLayout.h>

#include <wvw/painting.h>

#include <rfb/FullFramePixelBuffer.h>

#include <plat/Exception.h>

#include <algorithm>

namespace wvw {

WLayout::WLayout(bool routePointer, WLayout* parentLayout)
    : Widget(parentLayout), routePointer(routePointer) {}

WLayout::~WLayout() {
    for (Child& child : children) {
        child.widget->clearParent();
        child.widget->parentLayout = nullptr;
    }
}

std::vector<WLayout::Child>::iterator WLayout::find(const Widget* child) {
    auto& ws = children;
    auto i = std::find_if(ws.begin(), ws.end(), [&](const Child& c) { return c.widget == child; });
    PLAT_ASSERT(i != ws.end());
    return i;
}

std::vector<WLayout::Child>::const_iterator WLayout::find(const Widget* child) const {
    const auto& ws = children;
    auto i = std::find_if(ws.begin(), ws.end(), [&](const Child& c) { return c.widget == child; });
    PLAT_ASSERT(i != ws.end());
    return i;
}

void WLayout::bell() {
    Widget::bell();
}

bool WLayout::setFocus(Widget* child) {
    if (focusChild == child)
        return true;
    if (child && !child->acceptsFocus())
        return false;
    setFocus();
    Widget* old = focusChild;
    focusChild = child;
    if (old)
        old->focusChanged(false, old);
    if (child)
        child->focusChanged(false, child);
    return true;
}

bool WLayout::hasFocus(const Widget* child) const {
    return child && focusChild == child && hasFocus();
}

bool WLayout::focusInto(Widget* child, bool forward) {
    if (!setFocus(child))
        return false;
    if (auto* layout = dynamic_cast<WLayout*>(child))
        forward ? layout->focusFirst() : layout->focusLast();
    return true;
}

bool WLayout::moveFocus(bool forward) {
    const int count = int(children.size());
    int current = -1;
    for (int i = 0; i < count; ++i)
        if (children[std::size_t(i)].widget == focusChild)
            current = i;
    int step = forward ? 1 : -1;
    if (current >= 0)
        for (int i = current + step; i >= 0 && i < count; i += step)
            if (children[std::size_t(i)].widget->acceptsFocus())
                return focusInto(children[std::size_t(i)].widget, true);
    // Past the end: the container moves on first; only when it declines does the focus wrap.
    if (current >= 0 && getParent() &&
        (forward ? getParent()->focusNext() : getParent()->focusPrev()))
        return true;
    return forward ? focusFirst() : focusLast();
}

bool WLayout::focusNext() {
    return moveFocus(true);
}

bool WLayout::focusPrev() {
    return moveFocus(false);
}

bool WLayout::focusFirst() {
    for (Child& child : children)
        if (child.widget->acceptsFocus())
            return focusInto(child.widget, true);
    if (focusChild && !focusChild->acceptsFocus())
        setFocus(nullptr);
    return false;
}

bool WLayout::focusLast() {
    for (auto i = children.rbegin(); i != children.rend(); ++i)
        if (i->widget->acceptsFocus())
            return focusInto(i->widget, false);
    if (focusChild && !focusChild->acceptsFocus())
        setFocus(nullptr);
    return false;
}

bool WLayout::isKeyDown(int keysym) const {
    return Widget::isKeyDown(keysym);
}

plat::DString WLayout::getClipboard() {
    return getParent() ? getParent()->getClipboard() : plat::DString("");
}

void WLayout::setClipboard(const char* text) {
    if (getParent())
        getParent()->setClipboard(text);
}

WRoot* WLayout::getRoot(rfb::Point& screenPosition) {
    return getParent() ? getParent()->getRoot(screenPosition) : nullptr;
}

void WLayout::showRect(Widget* child, const rfb::Rect& rect) {
    if (getParent())
        getParent()->showRect(this, rect.translate(getChildPosition(child)));
}

void WLayout::setDragImage(const rfb::Point& position, rfb::PixelBuffer* image) {
    if (getParent())
        getParent()->setDragImage(position, image);
}

void WLayout::invalidateChild(Widget* child, const rfb::Region& region) {
    rfb::Region translated = region;
    translated.translate(getChildPosition(child));
    Widget::invalidate(translated);
}

void WLayout::addChild(Widget* child) {
    insertChild(child, nullptr, false);
}

void WLayout::insertChild(Widget* child, Widget* relativeTo, bool before) {
    PLAT_ASSERT(child && !child->parentLayout);
    auto at = children.end();
    if (relativeTo) {
        at = find(relativeTo);
        if (!before)
            ++at;
    }
    children.insert(at, Child{child, rfb::Point()});
    child->parentLayout = this;
    if (getParent())
        attachChild(child);
}

void WLayout::addChild(Widget* child, const rfb::Rect& rect) {
    addChild(child);
    setChildRect(child, rect);
}

void WLayout::attachChild(Widget* child) {
    child->setParent(this, this, this);
    attachedChildren.push_back(child);
}

void WLayout::removeChild(Widget* child) {
    auto i = find(child);
    invalidateChild(child, rfb::Region(rfb::Rect(0, 0, child->width(), child->height())));
    bool focused = focusChild == child;
    if (focused)
        focusChild = nullptr;
    if (captureChild == child)
        captureChild = nullptr;
    if (pointerChild == child)
        pointerChild = nullptr;
    children.erase(i);
    child->parentLayout = nullptr;
    auto attachedEntry = std::find(attachedChildren.begin(), attachedChildren.end(), child);
    if (attachedEntry != attachedChildren.end()) {
        attachedChildren.erase(attachedEntry);
        child->clearParent();
    }
}

void WLayout::setChildPosition(Widget* child, const rfb::Point& position) {
    auto i = find(child);
    if (i->position == position)
        return;
    rfb::Region damage(getChildRect(child));
    i->position = position;
    damage.assignUnion(rfb::Region(getChildRect(child)));
    Widget::invalidate(damage);
}

void WLayout::setChildRect(Widget* child, const rfb::Rect& rect) {
    setChildPosition(child, rect.tl);
    child->setSize({rect.width(), rect.height()});
}

rfb::Point WLayout::getChildPosition(const Widget* child) const {
    return find(child)->position;
}

rfb::Rect WLayout::getChildRect(const Widget* child) const {
    rfb::Point position = getChildPosition(child);
    return {position, position.translate(child->getSize())};
}

void WLayout::styleChanged() {
    for (Child& child : children)
        child.widget->styleChanged();
    Widget::styleChanged();
}

void WLayout::setParent(WParent* newParent, WInputHandler* parentInput,
                        WMouseInputHandler* parentMouse) {
    Widget::setParent(newParent, parentInput, parentMouse);
    for (Child& child : children)
        attachChild(child.widget);
}

void WLayout::clearParent() {
    for (Widget* child : attachedChildren)
        child->clearParent();
    attachedChildren.clear();
    captureChild = nullptr;
    pointerChild = nullptr;
    pointerInside = false;
    routedMask = 0;
    Widget::clearParent();
}

Widget* WLayout::childUnder(const rfb::Point& position, bool buttonsHeld) const {
    for (const Child& child : children) {
        Widget* w = child.widget;
        if (!w->isVisible() || (buttonsHeld && !w->isEnabled()))
            continue;
        if (rfb::Rect(child.position, child.position.translate(w->getSize())).contains(position))
            return w;
    }
    return nullptr;
}

void WLayout::pointerEvent(const rfb::Point& position, int mask) {
    if (!routePointer) {
        Widget::pointerEvent(position, mask);
        return;
    }
    Widget* under = childUnder(position, mask != 0);
    bool moved = under != pointerChild || (!under && !pointerInside);
    if (moved && (!captureChild || pointerChild == captureChild)) {
        if (pointerChild)
            pointerChild->pointerLeave();
        else if (pointerInside)
            Widget::pointerLeave();
    }
    bool pressed = (mask & ~routedMask) != 0;
    routedMask = mask;
    if (pressed && !captureChild && under)
        captureChild = under;
    Widget* target = captureChild ? captureChild : under;
    pointerChild = under;
    pointerInside = under == nullptr;
    if (target)
        target->pointerEvent(position.subtract(getChildPosition(target)), mask);
    else
        Widget::pointerEvent(position, mask);
    if (mask == 0)
        captureChild = nullptr;
}

void WLayout::pointerLeave() {
    if (routePointer && pointerChild) {
        pointerChild->pointerLeave();
        pointerChild = nullptr;
        return;
    }
    pointerInside = false;
    Widget::pointerLeave();
}

void WLayout::keyPress(int keysym, bool down) {
    if (focusChild)
        focusChild->keyPress(keysym, down);
    else
        Widget::keyPress(keysym, down);
}

void WLayout::paint(rfb::FullFramePixelBuffer* pb) {
    for (Child& child : children) {
        if (!child.widget->isVisible())
            continue;
        rfb::Rect area = getChildRect(child.widget);
        if (!area.overlaps(pb->getRect()))
            continue;
        rfb::FullFramePixelBuffer view = viewOf(*pb, area, area.tl);
        child.widget->paint(&view);
    }
}

rfb::Point WLayout::getPreferredSize() {
    rfb::Rect extent;
    for (const Child& child : children)
        extent = extent.unionBoundary(getChildRect(child.widget));
    return {extent.br.x + margin.x, extent.br.y + margin.y};
}

bool WLayout::acceptsFocus() const {
    if (!Widget::acceptsFocus())
        return false;
    return std::any_of(children.begin(), children.end(),
                       [](const Child& c) { return c.widget->acceptsFocus(); });
}

void WLayout::setEnabled(bool enable) {
    Widget::setEnabled(enable);
    if (propagateEnabled)
        for (Child& child : children)
            child.widget->setEnabled(enable);
}

} // namespace wvw
