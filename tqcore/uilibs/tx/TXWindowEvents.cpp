// Event dispatch: the debugging trace, the global and root handlers, the rules of modal windows
// and grabs, each window's own handling, and the modal event loop.
#include <tx/TXWindow.h>

#include <tx/TXUtil.h>
#include <tx/displayState.h>

#include <plat/BoolParameter.h>
#include <plat/Exception.h>
#include <plat/Timer.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/time.h>

namespace tx {

namespace {

plat::BoolParameter debugEvents("_DebugEvents", "", false);

constexpr const char* EventNames[] = {
    "Error",          "Reply",          "KeyPress",         "KeyRelease",
    "ButtonPress",    "ButtonRelease",  "MotionNotify",     "EnterNotify",
    "LeaveNotify",    "FocusIn",        "FocusOut",         "KeymapNotify",
    "Expose",         "GraphicsExpose", "NoExpose",         "VisibilityNotify",
    "CreateNotify",   "DestroyNotify",  "UnmapNotify",      "MapNotify",
    "MapRequest",     "ReparentNotify", "ConfigureNotify",  "ConfigureRequest",
    "GravityNotify",  "ResizeRequest",  "CirculateNotify",  "CirculateRequest",
    "PropertyNotify", "SelectionClear", "SelectionRequest", "SelectionNotify",
    "ColormapNotify", "ClientMessage",  "MappingNotify"};
constexpr int EventNameCount = int(sizeof EventNames / sizeof EventNames[0]);

// X numbers buttons up to 255; the toolkit's button masks hold eight.
constexpr unsigned MaxButton = 8;
constexpr unsigned AnyButtonMask =
    Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask;

void traceEvent(const XEvent& event) {
    timeval now;
    gettimeofday(&now, nullptr);
    std::tm local;
    localtime_r(&now.tv_sec, &local);
    char clock[16];
    std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
    char name[16];
    if (event.type >= 0 && event.type < EventNameCount)
        std::snprintf(name, sizeof name, "%s", EventNames[event.type]);
    else
        std::snprintf(name, sizeof name, "%d", event.type);
    char detail[64] = "";
    switch (event.type) {
    case ButtonPress:
    case ButtonRelease:
        std::snprintf(detail, sizeof detail, "%d%s%d", event.xbutton.x, ",", event.xbutton.y);
        break;
    case MotionNotify:
        std::snprintf(detail, sizeof detail, "%d%s%d", event.xmotion.x, ",", event.xmotion.y);
        break;
    case EnterNotify:
    case LeaveNotify:
        std::snprintf(detail, sizeof detail, "%d%s%d", event.xcrossing.x, ",", event.xcrossing.y);
        break;
    case Expose:
        std::snprintf(detail, sizeof detail, "%d,%d to %d,%d", event.xexpose.x, event.xexpose.y,
                      event.xexpose.x + event.xexpose.width,
                      event.xexpose.y + event.xexpose.height);
        break;
    case ConfigureNotify:
        std::snprintf(detail, sizeof detail, "%d,%d to %d,%d", event.xconfigure.x,
                      event.xconfigure.y, event.xconfigure.x + event.xconfigure.width,
                      event.xconfigure.y + event.xconfigure.height);
        break;
    default:
        break;
    }
    std::fprintf(stderr, "%s.%03d %s window %lx %s\n", clock, int(now.tv_usec / 1000), name,
                 event.xany.window, detail);
}

bool isWindowManagerMessage(const XEvent& event, Atom protocol) {
    return event.type == ClientMessage && event.xclient.message_type == atoms::wmProtocols() &&
           event.xclient.format == 32 && Atom(event.xclient.data.l[0]) == protocol;
}

// The event goes to the grab holder, in its coordinates.
void redirectToGrabHolder(XEvent& event, TXWindow* holder) {
    int holderX = 0, holderY = 0;
    Window child;
    XTranslateCoordinates(TXWindow::display(), holder->win(), TXWindow::root(), 0, 0, &holderX,
                          &holderY, &child);
    // Button, motion and key events share the layout of these fields.
    event.xbutton.x = event.xbutton.x_root - holderX;
    event.xbutton.y = event.xbutton.y_root - holderY;
    event.xany.window = holder->win();
}

// Input for a window that does not hold the grab itself: to the holder when there is one, else
// dropped while another window is modal.
void routeInput(XEvent& event, TXWindow* window, bool pointer) {
    TXWindow* holder = grabHolder(pointer);
    TXWindow* modal = TXWindow::modalWindow();
    if (holder) {
        redirectToGrabHolder(event, holder);
        holder->deliver(event);
    } else if (!modal || modal == window) {
        window->deliver(event);
    }
}

void callGlobalHandlers(XEvent& event) {
    std::vector<TXEventHandler*> snapshot = displayState().globalHandlers;
    for (TXEventHandler* handler : snapshot)
        handler->handleEvent(event);
}

bool callRootHandlers(XEvent& event) {
    if (event.xany.window != TXWindow::root())
        return false;
    std::vector<TXEventHandler*> snapshot;
    for (const auto& entry : displayState().rootHandlers)
        snapshot.push_back(entry.first);
    for (TXEventHandler* handler : snapshot)
        handler->handleEvent(event);
    return true;
}

void selectRootEvents() {
    long mask = 0;
    for (const auto& entry : displayState().rootHandlers)
        mask |= entry.second;
    XSelectInput(requireDisplay(), TXWindow::root(), mask);
}

} // namespace

void TXWindow::addGlobalEventHandler(TXEventHandler* handler, bool add) {
    auto& handlers = displayState().globalHandlers;
    handlers.erase(std::remove(handlers.begin(), handlers.end(), handler), handlers.end());
    if (add)
        handlers.push_back(handler);
}

void TXWindow::addRootEventHandler(TXEventHandler* handler, bool add, long mask) {
    auto& handlers = displayState().rootHandlers;
    if (add)
        handlers[handler] = mask;
    else
        handlers.erase(handler);
    selectRootEvents();
}

void TXWindow::handleEvents() {
    Display* display = requireDisplay();
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        handleXEvent(event);
    }
}

void TXWindow::handleXEvent(XEvent& event) {
    if (debugEvents.getValue())
        traceEvent(event);
    if ((event.type == ButtonPress || event.type == ButtonRelease) &&
        event.xbutton.button > MaxButton)
        return;
    DisplayState& state = displayState();
    if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
        if (event.xmapping.request == MappingPointer) {
            unsigned char map[MaxButton];
            state.pointerButtons =
                std::clamp(XGetPointerMapping(display(), map, int(MaxButton)), 0, int(MaxButton));
        }
    }
    if (event.type == FocusIn)
        state.applicationFocus = true;
    else if (event.type == FocusOut)
        state.applicationFocus = false;
    callGlobalHandlers(event);
    if (callRootHandlers(event))
        return;

    TXWindow* window = find(event.xany.window);
    if (!window)
        return;
    TXWindow* modal = modalWindow();
    switch (event.type) {
    case MotionNotify:
        if (!(event.xmotion.state & AnyButtonMask)) {
            window->deliver(event);
            return;
        }
        [[fallthrough]];
    case ButtonPress:
    case ButtonRelease:
        if (window->wantsPointerGrab())
            window->deliver(event);
        else
            routeInput(event, window, true);
        return;
    case KeyPress:
    case KeyRelease:
        if (window->wantsKeyboardGrab())
            window->deliver(event);
        else
            routeInput(event, window, false);
        return;
    case ClientMessage:
        if (isWindowManagerMessage(event, atoms::wmDeleteWindow()) && modal && modal != window &&
            !window->wantsPointerGrab())
            return;
        window->deliver(event);
        return;
    default:
        window->deliver(event);
        return;
    }
}

void TXWindow::deliver(XEvent& event) {
    switch (event.type) {
    case ClientMessage:
        if (isWindowManagerMessage(event, atoms::wmDeleteWindow()) && deleteWindowCallback) {
            deleteWindowCallback->deleteWindow(*this);
            return;
        }
        if (isWindowManagerMessage(event, atoms::wmTakeFocus()) && mapped)
            takeFocus(Time(event.xclient.data.l[1]));
        break;
    case FocusIn:
    case FocusOut:
        focused = event.type == FocusIn;
        focusChanged();
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == win_) {
            destroyed = true;
            mapped = false;
        }
        break;
    case MapNotify:
    case UnmapNotify:
        if (event.xmap.window == win_) {
            mapped = event.type == MapNotify;
            mapChanged();
        }
        break;
    case ConfigureNotify:
        if (event.xconfigure.window == win_)
            handleConfigureNotify(event);
        break;
    case PropertyNotify:
    case SelectionClear:
    case SelectionRequest:
    case SelectionNotify:
        handleSelectionEvent(event);
        break;
    default:
        break;
    }
    std::vector<TXEventHandler*> snapshot = eventHandlers;
    for (TXEventHandler* handler : snapshot) {
        if (handler->handleEvent(event))
            break;
    }
}

void TXWindow::handleConfigureNotify(XEvent& event) {
    // A window being resized interactively can queue many of these; only the last size counts.
    XEvent later;
    while (takeQueuedConfigureNotify(win_, later))
        event = later;
    bool changed =
        unsigned(event.xconfigure.width) != width_ || unsigned(event.xconfigure.height) != height_;
    width_ = unsigned(event.xconfigure.width);
    height_ = unsigned(event.xconfigure.height);
    configured();
    if (changed)
        sizeChanged();
}

void TXWindow::runEventLoop(const std::function<bool()>& done) {
    Display* display = requireDisplay();
    plat::TimerManager timers(true);
    for (;;) {
        handleEvents();
        if (done())
            return;
        int timeout = timers.process();
        // Timers may have queued requests (a repaint) and Xlib may already hold events read
        // with a reply: XPending flushes, and queued events must not wait for the next packet.
        if (XPending(display))
            continue;
        waitForConnection(timeout);
    }
}

} // namespace tx
