// One X window: creation and destruction, window-manager properties, position and size, mapping
// and withdrawal, focus and grabs.
#include <tx/TXWindow.h>

#include <tx/ErrorCatcher.h>
#include <tx/TXUtil.h>
#include <tx/displayState.h>

#include <os/AppInfo.h>
#include <plat/BoolParameter.h>
#include <plat/Exception.h>
#include <plat/utf8.h>

#include <X11/Xatom.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace tx {

namespace {

plat::BoolParameter noGrab("_NoGrab", "", false);

// Centred leaving room for a frame and a title bar on the far sides.
constexpr rfb::Point CentringMargin{10, 30};

void eraseFrom(std::vector<TXWindow*>& list, TXWindow* window) {
    list.erase(std::remove(list.begin(), list.end(), window), list.end());
}

const char* defaultWindowClass() {
    DisplayState& state = displayState();
    plat::DString source;
    source.format("%s-%s", os::AppInfo::getCompany(true), os::AppInfo::getApp(true));
    if (state.defaultClassSource.isNull() ||
        std::strcmp(source.get(), state.defaultClassSource.get()) != 0) {
        plat::DString company(os::AppInfo::getCompany(true));
        for (char* c = company.data(); *c; c++)
            *c = char(std::tolower(static_cast<unsigned char>(*c)));
        state.defaultClass.format("%s-%s", company.c_str(), os::AppInfo::getApp(true));
        state.defaultClassSource = std::move(source);
    }
    return state.defaultClass.c_str();
}

void setCardinals(Window window, Atom property, const long* items, std::size_t count) {
    XChangeProperty(requireDisplay(), window, property, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(items), int(count));
}

void setUtf8(Window window, Atom property, const char* text) {
    XChangeProperty(requireDisplay(), window, property, atoms::utf8String(), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text), int(std::strlen(text)));
}

} // namespace

rfb::Point centredPosition(rfb::Point screen, rfb::Point window, rfb::Point margin) {
    auto centre = [](int screenSide, int windowSide, int marginSide) {
        return int((std::int64_t(screenSide) - windowSide - marginSide) / 2);
    };
    return {centre(screen.x, window.x, margin.x), centre(screen.y, window.y, margin.y)};
}

TXWindow::TXWindow(int width, int height, TXWindow* parent, int borderWidth, bool overrideRedirect,
                   bool createNow)
    : width_(unsigned(std::max(width, 1))), height_(unsigned(std::max(height, 1))), parent(parent),
      borderWidth(borderWidth), overrideRedirect(overrideRedirect) {
    if (createNow)
        createWindow();
}

TXWindow::~TXWindow() {
    if (grabPointer || grabKeyboard)
        setGrab(false, false);
    leaveDisplayState();
    if (win_ && !destroyed && !connectionLost())
        XDestroyWindow(requireDisplay(), win_);
}

void TXWindow::leaveDisplayState() {
    DisplayState& state = displayState();
    eraseFrom(state.grabList, this);
    eraseFrom(state.modalStack, this);
    for (auto owner = state.selectionOwners.begin(); owner != state.selectionOwners.end();) {
        if (owner->second == this)
            owner = state.selectionOwners.erase(owner);
        else
            ++owner;
    }
    if (win_)
        state.windows.erase(win_);
}

void TXWindow::createWindow() {
    PLAT_ASSERT(!win_);
    Display* display = requireDisplay();
    XSetWindowAttributes attributes = {};
    attributes.background_pixel = defaultBackground();
    attributes.border_pixel = 0;
    attributes.override_redirect = overrideRedirect;
    attributes.colormap = colormap();
    win_ =
        XCreateWindow(display, parent ? parent->win_ : root(), 0, 0, width_, height_,
                      unsigned(borderWidth), CopyFromParent, CopyFromParent, CopyFromParent,
                      CWBackPixel | CWBorderPixel | CWOverrideRedirect | CWColormap, &attributes);
    if (parent) {
        XMapWindow(display, win_);
        mapped = true;
    }
    XSelectInput(display, win_, eventMask_);
    displayState().windows[win_] = this;
}

void TXWindow::toplevel(const char* name, TXDeleteWindowCallback* callback, const char* className) {
    Display* display = requireDisplay();
    toplevel_ = true;
    if (overrideRedirect) {
        XSetWindowAttributes attributes = {};
        attributes.override_redirect = False;
        XChangeWindowAttributes(display, win_, CWOverrideRedirect, &attributes);
        overrideRedirect = false;
    }
    wmHints.flags = InputHint | StateHint;
    wmHints.input = True;
    wmHints.initial_state = NormalState;
    plat::DString resourceName = plat::sanitiseUtf8(name);
    plat::DString resourceClass(className ? className : defaultWindowClass());
    XClassHint classHint = {resourceName.data(), resourceClass.data()};
    XSetWMProperties(display, win_, nullptr, nullptr, nullptr, 0, &sizeHints, &wmHints, &classHint);
    setName(name);

    Atom protocols[] = {atoms::wmTakeFocus(), atoms::wmDeleteWindow()};
    deleteWindowCallback = callback;
    XSetWMProtocols(display, win_, protocols, callback ? 2 : 1);
    addEventMask(StructureNotifyMask);

    long pid = long(getpid());
    setCardinals(win_, atoms::netWmPid(), &pid, 1);
    const std::vector<long>& icon = defaultIcon();
    if (!icon.empty())
        setCardinals(win_, atoms::netWmIcon(), icon.data(), icon.size());
}

void TXWindow::setName(const char* name) {
    Display* display = requireDisplay();
    plat::DString text = plat::sanitiseUtf8(name ? name : "");
    plat::DString latin1 = plat::utf8ToLatin1(text.c_str());
    XStoreName(display, win_, latin1.c_str());
    XSetIconName(display, win_, text.c_str());
    setUtf8(win_, atoms::netWmName(), text.c_str());
    setUtf8(win_, atoms::netWmIconName(), text.c_str());
}

void TXWindow::setTransientFor(Window window) {
    if (window == transientFor_)
        return;
    transientFor_ = window;
    if (window == 0)
        XDeleteProperty(requireDisplay(), win_, XA_WM_TRANSIENT_FOR);
    else
        XSetTransientForHint(requireDisplay(), win_, window);
}

void TXWindow::sendSizeHints() {
    if (win_)
        XSetWMNormalHints(requireDisplay(), win_, &sizeHints);
}

void TXWindow::setPosition(int x, int y) {
    sizeHints.flags |= USPosition;
    sizeHints.x = x;
    sizeHints.y = y;
    sendSizeHints();
    XMoveWindow(requireDisplay(), win_, x, y);
}

void TXWindow::centre() {
    Display* display = requireDisplay();
    int screen = DefaultScreen(display);
    rfb::Point position =
        centredPosition({DisplayWidth(display, screen), DisplayHeight(display, screen)},
                        {width(), height()}, CentringMargin);
    setPosition(position.x, position.y);
}

void TXWindow::setGeometry(const char* text) {
    Display* display = requireDisplay();
    char defaultGeometry[64];
    std::snprintf(defaultGeometry, sizeof defaultGeometry, "%dx%d+%d+%d", width(), height(), 0, 0);
    int x = 0, y = 0, newWidth = width(), newHeight = height();
    XWMGeometry(display, DefaultScreen(display), text, defaultGeometry, unsigned(borderWidth),
                &sizeHints, &x, &y, &newWidth, &newHeight, &geometryGravity);
    sizeHints.flags |= USPosition | PWinGravity;
    sizeHints.win_gravity = geometryGravity;
    setPosition(x, y);
    resize(newWidth, newHeight);
}

void TXWindow::setFixedSize(bool fixed) {
    fixedSize = fixed;
    if (fixed) {
        sizeHints.flags |= PMinSize | PMaxSize;
        sizeHints.min_width = sizeHints.max_width = width();
        sizeHints.min_height = sizeHints.max_height = height();
    } else {
        sizeHints.flags &= ~(PMinSize | PMaxSize);
    }
    sendSizeHints();
}

void TXWindow::setMinSize(int width, int height) {
    sizeHints.flags |= PMinSize;
    sizeHints.min_width = width;
    sizeHints.min_height = height;
    sendSizeHints();
}

void TXWindow::setMaxSize(int width, int height) {
    sizeHints.flags |= PMaxSize;
    sizeHints.max_width = width;
    sizeHints.max_height = height;
    sendSizeHints();
}

void TXWindow::resize(int width, int height) {
    unsigned newWidth = unsigned(std::max(width, 1));
    unsigned newHeight = unsigned(std::max(height, 1));
    if (!win_) {
        width_ = newWidth;
        height_ = newHeight;
        return;
    }
    Display* display = requireDisplay();
    XSync(display, False);
    XEvent event;
    while (takeQueuedConfigureNotify(win_, event)) {
        width_ = unsigned(event.xconfigure.width);
        height_ = unsigned(event.xconfigure.height);
    }
    if (width_ == newWidth && height_ == newHeight)
        return;
    if (fixedSize) {
        sizeHints.flags &= ~(PMinSize | PMaxSize);
        sendSizeHints();
    }
    XResizeWindow(display, win_, newWidth, newHeight);
    width_ = newWidth;
    height_ = newHeight;
    sizeChanged();
    if (fixedSize)
        setFixedSize(true);
}

void TXWindow::raise() {
    XRaiseWindow(requireDisplay(), win_);
    sendWindowManagerMessage(win_, atoms::netActiveWindow(), 1, 0, 0, 0, 0);
}

void TXWindow::iconify() {
    if (mapped)
        sendWindowManagerMessage(win_, atoms::wmChangeState(), IconicState);
    wmHints.flags |= StateHint;
    wmHints.initial_state = IconicState;
    XSetWMHints(requireDisplay(), win_, &wmHints);
    XMapWindow(requireDisplay(), win_);
}

void TXWindow::setInputFocus(Time time) {
    if (!mapped)
        return;
    // The window may be going away under the window manager's hands: a failure is only logged.
    ErrorCatcher catcher(100);
    XSetInputFocus(requireDisplay(), win_, RevertToParent, time);
}

void TXWindow::addEventMask(long mask) {
    eventMask_ |= mask;
    if (win_)
        XSelectInput(requireDisplay(), win_, eventMask_);
}

void TXWindow::removeEventMask(long mask) {
    eventMask_ = (eventMask_ & ~mask) | FocusChangeMask | PropertyChangeMask;
    if (win_)
        XSelectInput(requireDisplay(), win_, eventMask_);
}

void TXWindow::addEventHandler(TXEventHandler* handler) {
    if (std::find(eventHandlers.begin(), eventHandlers.end(), handler) == eventHandlers.end())
        eventHandlers.push_back(handler);
}

void TXWindow::removeEventHandler(TXEventHandler* handler) {
    eventHandlers.erase(std::remove(eventHandlers.begin(), eventHandlers.end(), handler),
                        eventHandlers.end());
}

void TXWindow::show(bool visible) {
    if (!visible) {
        withdraw();
        return;
    }
    Display* display = requireDisplay();
    if (!toplevel_ || overrideRedirect) {
        XMapWindow(display, win_);
        mapped = true;
        return;
    }
    if (mapped) {
        raise();
        return;
    }
    withdraw();
    wmHints.flags |= StateHint;
    wmHints.initial_state = NormalState;
    XSetWMHints(display, win_, &wmHints);
    XMapWindow(display, win_);
}

void TXWindow::withdraw() {
    Display* display = requireDisplay();
    XUnmapWindow(display, win_);
    eraseFrom(displayState().modalStack, this);
    if (toplevel_ && !overrideRedirect) {
        // ICCCM 4.1.4: the synthetic UnmapNotify tells the window manager that the window is
        // withdrawn even when it was never mapped.
        XEvent event = {};
        event.xunmap.type = UnmapNotify;
        event.xunmap.event = root();
        event.xunmap.window = win_;
        event.xunmap.from_configure = False;
        XSendEvent(display, root(), False, SubstructureRedirectMask | SubstructureNotifyMask,
                   &event);
        XSync(display, False);
    }
    mapped = false;
}

void TXWindow::setGrab(bool pointer, bool keyboard, Cursor cursor, bool ownerEvents) {
    TXWindow* oldPointerHolder = grabHolder(true);
    TXWindow* oldKeyboardHolder = grabHolder(false);
    std::vector<TXWindow*>& list = displayState().grabList;
    eraseFrom(list, this);
    grabPointer = pointer;
    grabKeyboard = keyboard;
    grabCursor = cursor;
    grabOwnerEvents = ownerEvents;
    if (pointer || keyboard)
        list.push_back(this);
    TXWindow* pointerHolder = grabHolder(true);
    TXWindow* keyboardHolder = grabHolder(false);
    if (connectionLost())
        return;
    Display* display = requireDisplay();
    if (pointerHolder != oldPointerHolder) {
        if (oldPointerHolder)
            XUngrabPointer(display, CurrentTime);
        if (pointerHolder && !noGrab.getValue()) {
            int result =
                XGrabPointer(display, pointerHolder->win_, True,
                             ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                             GrabModeAsync, None, pointerHolder->grabCursor, CurrentTime);
            if (result != GrabSuccess)
                windowLog.error("XGrabPointer failed: %d", result);
        }
    }
    if (keyboardHolder != oldKeyboardHolder) {
        if (oldKeyboardHolder)
            XUngrabKeyboard(display, CurrentTime);
        if (keyboardHolder && !noGrab.getValue()) {
            int result =
                XGrabKeyboard(display, keyboardHolder->win_, keyboardHolder->grabOwnerEvents,
                              GrabModeAsync, GrabModeAsync, CurrentTime);
            if (result != GrabSuccess)
                windowLog.error("XGrabKeyboard failed: %d", result);
        }
    }
}

TXWindow* grabHolder(bool pointer) {
    const auto& list = displayState().grabList;
    for (auto window = list.rbegin(); window != list.rend(); ++window) {
        bool wants = pointer ? (*window)->wantsPointerGrab() : (*window)->wantsKeyboardGrab();
        if (wants && (*window)->isMapped())
            return *window;
    }
    return nullptr;
}

TXWindow* TXWindow::find(Window window) {
    auto& windows = displayState().windows;
    auto found = windows.find(window);
    return found == windows.end() ? nullptr : found->second;
}

void TXWindow::pushModal(TXWindow* window) {
    auto& stack = displayState().modalStack;
    eraseFrom(stack, window);
    stack.push_back(window);
}

TXWindow* TXWindow::modalWindow() {
    auto& stack = displayState().modalStack;
    return stack.empty() ? nullptr : stack.back();
}

} // namespace tx
