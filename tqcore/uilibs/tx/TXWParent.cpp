// The widget host: attaching on map, damage repair through the back buffer, keys with their
// memory, pointer buttons and motion, tooltips, the clipboard.
#include <tx/TXWParent.h>

#include <tx/TXImage.h>
#include <tx/TXUtil.h>
#include <tx/TXWRoot.h>

#include <wvw/WTooltip.h>
#include <wvw/keysyms.h>
#include <wvw/painting.h>

#include <plat/LogSrc.h>

#include <cstring>

namespace tx {

namespace {

plat::LogSrc wparentLog("TXWParent");

constexpr long HostEventMask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                               EnterWindowMask | LeaveWindowMask | PointerMotionMask |
                               ExposureMask | StructureNotifyMask;
static_assert(HostEventMask == 163967);

// X reports the first five buttons in the state; the widgets track eight.
constexpr int MaxButton = 8;

int buttonsHeld(unsigned state) {
    return int((state >> 8) & 0x1F);
}

} // namespace

TXWParent::TXWParent(wvw::Widget* widget, TXWindow* parentWindow, bool overrideRedirect)
    : TXWindow(1, 1, parentWindow, 0, overrideRedirect), repaintTimer(this), tooltipTimer(this) {
    addEventMask(HostEventMask);
    XSetWindowBackgroundPixmap(display(), win(), None);
    addEventHandler(this);
    if (widget)
        setWidget(widget);
}

TXWParent::~TXWParent() {
    repaintTimer.stop();
    tooltipTimer.stop();
    removeEventHandler(this);
    detachContent();
}

void TXWParent::setWidget(wvw::Widget* widget) {
    detachContent();
    content = widget;
    if (!content)
        return;
    content->setVisible(true);
    if (isMapped())
        attachContent();
}

void TXWParent::attachContent() {
    if (!content || content->isAttached())
        return;
    content->setSize({width(), height()});
    content->setParent(this, this, this);
    content->focusChanged(false, content);
}

void TXWParent::detachContent() {
    if (content)
        content->clearParent();
}

void TXWParent::invalidate(wvw::Widget*, const rfb::Region& region) {
    damage.assignUnion(region);
    if (!repaintTimer.isActive() && plat::TimerManager::threadHasManager())
        repaintTimer.start(RepaintDelayMs);
}

void TXWParent::bell() {
    XBell(display(), 0);
}

bool TXWParent::hasFocus(const wvw::Widget* child) const {
    return child && child == content && TXWindow::hasFocus();
}

bool TXWParent::isKeyDown(int keysym) const {
    for (const auto& [keycode, held] : keysDown)
        if (held == keysym)
            return true;
    return false;
}

plat::DString TXWParent::getClipboard() {
    const char* text = getSelection(atoms::clipboard());
    return plat::DString(text ? text : "");
}

void TXWParent::setClipboard(const char* text) {
    setSelection(std::strlen(text), text, getServerTime());
}

wvw::WRoot* TXWParent::getRoot(rfb::Point& screenPosition) {
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display(), win(), root(), 0, 0, &x, &y, &child);
    screenPosition = {x, y};
    return &TXWRoot::instance();
}

void TXWParent::mapChanged() {
    if (isMapped()) {
        attachContent();
        damage.clear();
        backBuffer = std::make_unique<TXImage>(rfb::Point(width(), height()));
    } else {
        detachContent();
        repaintTimer.stop();
        backBuffer.reset();
    }
}

void TXWParent::sizeChanged() {
    if (backBuffer)
        backBuffer->setSize({width(), height()});
    if (content && content->getSize() != rfb::Point(width(), height()))
        content->setSize({width(), height()});
}

void TXWParent::focusChanged() {
    if (!TXWindow::hasFocus())
        releaseAllKeys();
    // The focused control shows the window's focus.
    if (content && content->isAttached()) {
        content->focusChanged(false, content);
        content->invalidate();
    }
}

bool TXWParent::timerExpired(plat::Timer* timer) {
    if (timer == &tooltipTimer)
        showTooltip();
    else
        repaintDamage();
    return false;
}

bool TXWParent::pointerMoved(const rfb::Point& position, wvw::Widget* origin) {
    tooltipWidget = origin;
    tooltipPosition = position;
    if (plat::TimerManager::threadHasManager())
        tooltipTimer.start(TooltipDelayMs);
    return false;
}

bool TXWParent::pointerLeft(wvw::Widget*) {
    cancelTooltip();
    return false;
}

bool TXWParent::detached(wvw::Widget* origin, wvw::WParent*) {
    if (origin == tooltipWidget)
        cancelTooltip();
    return false;
}

void TXWParent::showTooltip() {
    if (!tooltipWidget || !*tooltipWidget->getTooltip())
        return;
    if (!tooltip)
        tooltip = std::make_unique<wvw::WTooltip>(TooltipMaxWidth);
    tooltip->setText(tooltipWidget->getTooltip());
    tooltip->show(tooltipPosition.translate({2, 16}), tooltipWidget);
}

void TXWParent::cancelTooltip() {
    tooltipTimer.stop();
    tooltipWidget = nullptr;
    if (tooltip)
        tooltip->hide();
}

void TXWParent::repaintDamage() {
    if (!backBuffer) {
        damage.clear();
        return;
    }
    damage.assignIntersect(rfb::Region(backBuffer->getRect()));
    std::vector<rfb::Rect> areas = damage.rects();
    damage.clear();
    for (const rfb::Rect& area : areas)
        repaint(area);
}

void TXWParent::repaint(const rfb::Rect& area) {
    if (!backBuffer || !content || !content->isAttached())
        return;
    rfb::Rect clipped = area.intersect(backBuffer->getRect());
    if (clipped.isEmpty())
        return;
    rfb::FullFramePixelBuffer view = wvw::viewOf(*backBuffer, clipped, {0, 0});
    content->paint(&view);
    backBuffer->put(win(), defaultGC(), clipped);
}

bool TXWParent::handleEvent(XEvent& event) {
    switch (event.type) {
    case Expose:
    case GraphicsExpose:
        handleExpose(event);
        return true;
    case KeyPress:
    case KeyRelease:
        handleKey(event.xkey);
        return true;
    case ButtonPress:
    case ButtonRelease:
        handleButton(event.xbutton);
        return true;
    case MotionNotify:
        handleMotion(event.xmotion);
        return true;
    case LeaveNotify:
        if (event.xcrossing.mode == NotifyNormal && content && content->isAttached())
            content->pointerLeave();
        return true;
    default:
        return false;
    }
}

void TXWParent::handleExpose(XEvent& event) {
    rfb::Rect area = rfb::Rect::fromXYWH(event.xexpose.x, event.xexpose.y, event.xexpose.width,
                                         event.xexpose.height);
    XEvent more;
    while (XCheckTypedWindowEvent(display(), win(), Expose, &more) ||
           XCheckTypedWindowEvent(display(), win(), GraphicsExpose, &more))
        area = area.unionBoundary(rfb::Rect::fromXYWH(more.xexpose.x, more.xexpose.y,
                                                      more.xexpose.width, more.xexpose.height));
    repaint(area);
}

void TXWParent::handleKey(XKeyEvent& event) {
    cancelTooltip();
    bool down = event.type == KeyPress;
    int keysym;
    if (down) {
        char text[16];
        KeySym looked = NoSymbol;
        XLookupString(&event, text, sizeof text, &looked, nullptr);
        keysym = int(looked);
    } else {
        auto held = keysDown.find(event.keycode);
        // A release without its press (the press went to another window) means nothing here.
        if (held == keysDown.end())
            return;
        keysym = held->second;
    }
    wparentLog.debug("keycode %d keysym 0x%x down %d win 0x%lx", int(event.keycode), keysym,
                     int(down), static_cast<unsigned long>(win()));
    if (down && keysym == wvw::keysym::IsoLeftTab) {
        bool shifted = isKeyDown(wvw::keysym::ShiftL) || isKeyDown(wvw::keysym::ShiftR);
        keysDown[event.keycode] = wvw::keysym::Tab;
        if (shifted) {
            pressKey(wvw::keysym::Tab, true);
        } else {
            // Shift+Tab as the widgets know it, without leaving Shift held.
            pressKey(wvw::keysym::ShiftL, true);
            pressKey(wvw::keysym::Tab, true);
            pressKey(wvw::keysym::ShiftL, false);
        }
        return;
    }
    if (down)
        keysDown[event.keycode] = keysym;
    else
        keysDown.erase(event.keycode);
    pressKey(keysym, down);
}

void TXWParent::pressKey(int keysym, bool down) {
    // The synthetic Shift of a left tab is held for the Tab alone.
    static constexpr unsigned SyntheticShift = ~0u;
    if (keysym == wvw::keysym::ShiftL && down && !isKeyDown(keysym))
        keysDown[SyntheticShift] = keysym;
    else if (keysym == wvw::keysym::ShiftL && !down)
        keysDown.erase(SyntheticShift);
    if (content && content->isAttached())
        content->keyPress(keysym, down);
}

void TXWParent::releaseAllKeys() {
    std::map<unsigned, int> held;
    held.swap(keysDown);
    for (const auto& [keycode, keysym] : held)
        if (content && content->isAttached())
            content->keyPress(keysym, false);
}

void TXWParent::handleButton(XButtonEvent& event) {
    // Any client may send events for buttons up to 255; the widgets know eight.
    if (event.button < 1 || event.button > MaxButton)
        return;
    cancelTooltip();
    int mask = buttonsHeld(event.state);
    int flag = 1 << (event.button - 1);
    mask = event.type == ButtonPress ? (mask | flag) : (mask & ~flag);
    if (content && content->isAttached())
        content->pointerEvent({event.x, event.y}, mask);
}

void TXWParent::handleMotion(XMotionEvent& event) {
    XEvent later;
    while (XCheckTypedWindowEvent(display(), win(), MotionNotify, &later))
        event = later.xmotion;
    if (content && content->isAttached())
        content->pointerEvent({event.x, event.y}, buttonsHeld(event.state));
}

} // namespace tx
