// Display-wide helpers of the toolkit: the atoms it uses, interned on first use; the select
// wrapper of the event loop; waiting for one event of one window; client messages to the window
// manager.
#pragma once

#include <plat/Time.h>

#include <tx/xlib.h>

#include <sys/select.h>

namespace tx {

// Each interned at most once, on the open display.
namespace atoms {
Atom wmProtocols();
Atom wmDeleteWindow();
Atom wmTakeFocus();
Atom wmChangeState();
Atom wmState();
Atom timestamp();
Atom targets();
Atom selectionString();
Atom clipboard();
Atom incr();
Atom utf8String();
Atom netWmName();
Atom netWmIcon();
Atom netWmIconName();
Atom netWmPid();
Atom netWmState();
Atom netWmStateAbove();
Atom netWmStateHidden();
Atom netWmStateFullscreen();
Atom netWmMoveResize();
Atom netActiveWindow();
Atom netCurrentDesktop();
Atom netSupportingWmCheck();
Atom netSupported();
Atom netWorkarea();
Atom motifWmHints();
Atom mitPriorityColors();
Atom motifWmInfo();
} // namespace atoms

// The timeval for a select time-out: 1 ms longer than asked, so that a timer due at the end is
// due when select returns, except for 0 and for 2147483647 (which would overflow).
timeval selectTimeval(int timeoutMs);
// What remains of a time-out after elapsed ticks, rounded up to whole milliseconds, never below 0.
int remainingMilliseconds(int timeoutMs, plat::Ticks elapsed);

// select with a time-out in milliseconds (negative: none). After an interruption or a time-out the
// time-out is lowered to what remains. Returns the count of ready descriptors, or a negative
// count after an interruption (the sets are then cleared); other failures raise
// plat::SystemException "select".
int selectWithTimeout(int descriptorCount, fd_set* readable, fd_set* writable, fd_set* exceptional,
                      int& timeoutMs);

// Waits until the connection is readable or the time-out (milliseconds, negative: none) ends.
// The connection's descriptor must be below 1024 (else plat::SystemException "select", EMFILE).
// Returns whether it became readable.
bool waitForConnection(int timeoutMs);

// Takes the first queued event of the type for the window, waiting up to timeoutMs for it.
bool waitForWindowEvent(Window window, int type, int timeoutMs, XEvent& event);

// Takes the first queued ConfigureNotify about the window itself (not about its children).
bool takeQueuedConfigureNotify(Window window, XEvent& event);

// A ClientMessage (format 32, five longs) about window sent to the root window for the window
// manager.
void sendWindowManagerMessage(Window window, Atom messageType, long data0, long data1 = 0,
                              long data2 = 0, long data3 = 0, long data4 = 0);

} // namespace tx
