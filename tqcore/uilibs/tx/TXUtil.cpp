// Atoms, the select wrapper, event waits and window-manager messages.
#include <tx/TXUtil.h>

#include <tx/TXWindow.h>
#include <tx/displayState.h>

#include <plat/Exception.h>

#include <cerrno>
#include <climits>

namespace tx {

namespace {

Bool isConfigureNotifyOf(Display*, XEvent* event, XPointer window) {
    return event->type == ConfigureNotify &&
           event->xconfigure.window == *reinterpret_cast<Window*>(window);
}

Atom internOnce(Atom& cached, const char* name) {
    if (cached == None)
        cached = XInternAtom(requireDisplay(), name, False);
    return cached;
}

} // namespace

#define TX_ATOM(accessor, name)                                                                    \
    Atom atoms::accessor() {                                                                       \
        static Atom atom = None;                                                                   \
        return internOnce(atom, name);                                                             \
    }

TX_ATOM(wmProtocols, "WM_PROTOCOLS")
TX_ATOM(wmDeleteWindow, "WM_DELETE_WINDOW")
TX_ATOM(wmTakeFocus, "WM_TAKE_FOCUS")
TX_ATOM(wmChangeState, "WM_CHANGE_STATE")
TX_ATOM(wmState, "WM_STATE")
TX_ATOM(timestamp, "TIMESTAMP")
TX_ATOM(targets, "TARGETS")
TX_ATOM(selectionString, "SELECTION_STRING")
TX_ATOM(clipboard, "CLIPBOARD")
TX_ATOM(incr, "INCR")
TX_ATOM(utf8String, "UTF8_STRING")
TX_ATOM(netWmName, "_NET_WM_NAME")
TX_ATOM(netWmIcon, "_NET_WM_ICON")
TX_ATOM(netWmIconName, "_NET_WM_ICON_NAME")
TX_ATOM(netWmPid, "_NET_WM_PID")
TX_ATOM(netWmState, "_NET_WM_STATE")
TX_ATOM(netWmStateAbove, "_NET_WM_STATE_ABOVE")
TX_ATOM(netWmStateHidden, "_NET_WM_STATE_HIDDEN")
TX_ATOM(netWmStateFullscreen, "_NET_WM_STATE_FULLSCREEN")
TX_ATOM(netWmMoveResize, "_NET_WM_MOVERESIZE")
TX_ATOM(netActiveWindow, "_NET_ACTIVE_WINDOW")
TX_ATOM(netCurrentDesktop, "_NET_CURRENT_DESKTOP")
TX_ATOM(netSupportingWmCheck, "_NET_SUPPORTING_WM_CHECK")
TX_ATOM(netSupported, "_NET_SUPPORTED")
TX_ATOM(netWorkarea, "_NET_WORKAREA")
TX_ATOM(motifWmHints, "_MOTIF_WM_HINTS")
TX_ATOM(mitPriorityColors, "_MIT_PRIORITY_COLORS")
TX_ATOM(motifWmInfo, "_MOTIF_WM_INFO")

#undef TX_ATOM

timeval selectTimeval(int timeoutMs) {
    long milliseconds = timeoutMs;
    if (timeoutMs != 0 && timeoutMs != INT_MAX)
        milliseconds++;
    return timeval{time_t(milliseconds / 1000), suseconds_t(milliseconds % 1000 * 1000)};
}

int remainingMilliseconds(int timeoutMs, plat::Ticks elapsed) {
    plat::Ticks left = plat::Ticks(timeoutMs) * plat::TicksPerMillisecond - elapsed;
    if (left <= 0)
        return 0;
    return int((left + plat::TicksPerMillisecond - 1) / plat::TicksPerMillisecond);
}

int selectWithTimeout(int descriptorCount, fd_set* readable, fd_set* writable, fd_set* exceptional,
                      int& timeoutMs) {
    timeval limit = selectTimeval(timeoutMs);
    plat::Ticks start = plat::monotonicNow();
    int count = ::select(descriptorCount, readable, writable, exceptional,
                         timeoutMs < 0 ? nullptr : &limit);
    if (count < 0 && errno != EINTR)
        throw plat::SystemException("select", errno);
    if (count < 0) {
        for (fd_set* set : {readable, writable, exceptional}) {
            if (set)
                FD_ZERO(set);
        }
    }
    if (count <= 0 && timeoutMs > 0)
        timeoutMs = remainingMilliseconds(timeoutMs, plat::monotonicNow() - start);
    return count;
}

bool waitForConnection(int timeoutMs) {
    int fd = ConnectionNumber(requireDisplay());
    // FD_SET beyond the set's size would write past it.
    if (fd < 0 || fd >= FD_SETSIZE)
        throw plat::SystemException("select", EMFILE);
    for (;;) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        int count = selectWithTimeout(fd + 1, &readable, nullptr, nullptr, timeoutMs);
        if (count >= 0)
            return count > 0;
    }
}

bool waitForWindowEvent(Window window, int type, int timeoutMs, XEvent& event) {
    Display* display = requireDisplay();
    if (XCheckTypedWindowEvent(display, window, type, &event))
        return true;
    plat::Ticks deadline =
        plat::monotonicNow() + plat::Ticks(timeoutMs) * plat::TicksPerMillisecond;
    for (;;) {
        plat::Ticks left = deadline - plat::monotonicNow();
        if (left <= 0)
            return XCheckTypedWindowEvent(display, window, type, &event);
        XFlush(display);
        waitForConnection(int((left + plat::TicksPerMillisecond - 1) / plat::TicksPerMillisecond));
        if (XCheckTypedWindowEvent(display, window, type, &event))
            return true;
    }
}

bool takeQueuedConfigureNotify(Window window, XEvent& event) {
    return XCheckIfEvent(requireDisplay(), &event, isConfigureNotifyOf,
                         reinterpret_cast<XPointer>(&window));
}

void sendWindowManagerMessage(Window window, Atom messageType, long data0, long data1, long data2,
                              long data3, long data4) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.send_event = True;
    event.xclient.window = window;
    event.xclient.message_type = messageType;
    event.xclient.format = 32;
    long data[5] = {data0, data1, data2, data3, data4};
    for (int i = 0; i < 5; i++)
        event.xclient.data.l[i] = data[i];
    XSendEvent(requireDisplay(), TXWindow::root(), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

} // namespace tx
