// The toolkit's X windows: the single process-wide display connection with its drawing defaults,
// one TXWindow object per X window, dispatch of X events to those objects with the rules of modal
// windows and grabs, the modal event loop, window-manager properties and selections.
// Everything runs on the thread that opened the display.
#pragma once

#include <plat/DString.h>
#include <rfb/PixelFormat.h>
#include <rfb/Rect.h>

#include <tx/xlib.h>

#include <cstddef>
#include <functional>
#include <map>
#include <vector>

namespace tx {

class TXWindow;

// Sees events: per-window handlers after the window's own handling, global handlers every event,
// root handlers the events of the root window.
class TXEventHandler {
public:
    // True when the event was consumed (per-window handlers stop at the first true).
    virtual bool handleEvent(XEvent& event) = 0;
    virtual ~TXEventHandler() = default;
};

// Receives the window manager's WM_DELETE_WINDOW for a top-level window.
class TXDeleteWindowCallback {
public:
    virtual void deleteWindow(TXWindow& window) = 0;

protected:
    ~TXDeleteWindowCallback() = default;
};

class TXWindow {
public:
    // --- The display connection (process-wide, opened once, never closed) ---

    // Opens the connection; later calls do nothing. A non-empty name becomes DISPLAY first. Throws
    // plat::Exception "unable to open display \"%s\"" when no display can be opened, and
    // "Failed to load any font" when the server has no usable font (the connection is closed
    // again, so a later call may retry).
    static void init(const char* displayName = nullptr);
    static bool isInitialised() { return connection != nullptr; }
    // Null until init succeeded.
    static Display* display() { return connection; }
    static Window root();
    static Colormap colormap();
    static GC defaultGC();
    static XFontStruct* defaultFont();
    static unsigned long blackPixel();
    static unsigned long lightGreyPixel();
    static unsigned long veryLightGreyPixel();
    static unsigned long darkGreyPixel();
    static unsigned long midGreyPixel();
    static unsigned long whitePixel();
    static unsigned long defaultForeground() { return blackPixel(); }
    static unsigned long defaultBackground() { return lightGreyPixel(); }
    // Physical pointer buttons, at most 8.
    static int pointerButtonCount();
    // True after a FocusIn of any window of ours, false after a FocusOut.
    static bool applicationHasFocus();
    // The server time of the last change of cut buffer 0 seen on the root window (0: none yet).
    static Time lastCutBufferChange();

    // The rfb pixel format of a visual; throws plat::Exception for depths without a usable pixmap
    // format and for palettised visuals other than 8 bits.
    static rfb::PixelFormat getNativePixelFormat(Visual* visual, int depth);
    // (WMDecorationWidth, WMDecorationHeight).
    static rfb::Point getDecorationSize();
    // A current server timestamp (one round trip).
    static Time getServerTime();

    // The _NET_WM_ICON data given to every later top-level window: width, height, then width x
    // height ARGB pixels, one per item.
    static void setDefaultIcon(std::vector<long> items);
    static const std::vector<long>& defaultIcon();

    // Called when the connection to the server is lost, with a line that says so; the process
    // then exits with status 1 without touching the connection again (static destructors run, so
    // files owned by static objects are still removed). Without a handler the line goes to
    // standard error and to the log.
    static void setConnectionLostHandler(std::function<void(const char* failure)> handler);
    // Whether the connection was lost (the exit is under way): X calls must not be made.
    static bool connectionLost();

    // --- Dispatch and the event loop ---

    static void addGlobalEventHandler(TXEventHandler* handler, bool add);
    // Adding a handler again replaces its mask; the root window selects the union of all masks.
    static void addRootEventHandler(TXEventHandler* handler, bool add, long mask);
    // Dispatches every event Xlib has queued or can read without waiting.
    static void handleEvents();
    static void handleXEvent(XEvent& event);
    // Runs until done() answers true after a round of dispatching: queued events, then the
    // timers of a TimerManager nested for the loop's duration, then a wait in select for the
    // connection or the next timer. Throws plat::SystemException ("select", EMFILE) when the
    // connection's descriptor is 1024 or more.
    static void runEventLoop(const std::function<bool()>& done);
    // Makes the window modal (last pushed wins) until it is withdrawn or destroyed.
    static void pushModal(TXWindow* window);
    static TXWindow* modalWindow();
    // The object that owns an X window of ours, or null.
    static TXWindow* find(Window window);

    // --- One window ---

    // With createNow the X window is created at once; otherwise call createWindow() later.
    TXWindow(int width, int height, TXWindow* parent = nullptr, int borderWidth = 0,
             bool overrideRedirect = false, bool createNow = true);
    virtual ~TXWindow();
    TXWindow(const TXWindow&) = delete;
    TXWindow& operator=(const TXWindow&) = delete;

    // Creates the X window; a second call is an internal consistency failure.
    void createWindow();
    Window win() const { return win_; }
    int width() const { return int(width_); }
    int height() const { return int(height_); }
    bool isMapped() const { return mapped; }
    bool hasFocus() const { return focused; }
    bool isToplevel() const { return toplevel_; }
    // Whether another client destroyed the X window (its DestroyNotify came).
    bool isDestroyed() const { return destroyed; }

    // Makes the window a managed top-level window: WM hints, WM_CLASS (className, else
    // "<company>-<application>" lower-cased company), WM_PROTOCOLS with WM_TAKE_FOCUS and, with a
    // callback, WM_DELETE_WINDOW, _NET_WM_PID and the default icon.
    void toplevel(const char* name, TXDeleteWindowCallback* deleteWindowCallback = nullptr,
                  const char* className = nullptr);
    // WM_NAME in ISO-8859-1, the icon name, _NET_WM_NAME and _NET_WM_ICON_NAME in UTF-8.
    void setName(const char* name);
    // 0 removes WM_TRANSIENT_FOR.
    void setTransientFor(Window window);
    Window transientFor() const { return transientFor_; }
    void setPosition(int x, int y);
    // Centred on the screen, leaving room for a title bar.
    void centre();
    // "WxH+X+Y" as XWMGeometry reads it, over the window's size at the origin.
    void setGeometry(const char* text);
    void setFixedSize(bool fixed);
    void setMinSize(int width, int height);
    void setMaxSize(int width, int height);
    // Sizes below 1 become 1.
    void resize(int width, int height);
    // Raises the window and asks the window manager to activate it.
    void raise();
    void iconify();
    void setInputFocus(Time time);
    void addEventMask(long mask);
    void removeEventMask(long mask);
    long eventMask() const { return eventMask_; }
    void addEventHandler(TXEventHandler* handler);
    void removeEventHandler(TXEventHandler* handler);
    // true maps (raising a mapped top-level window), false withdraws.
    void show(bool visible);
    // Asks for a pointer and/or keyboard grab while mapped; the most recent asker that is mapped
    // holds each grab. The hidden parameter _NoGrab keeps the grabs from the server.
    void setGrab(bool pointer, bool keyboard, Cursor cursor = None, bool ownerEvents = true);
    bool wantsPointerGrab() const { return grabPointer; }
    bool wantsKeyboardGrab() const { return grabKeyboard; }

    // The window's own handling of an event, then its handlers; dispatch calls it after the
    // rules of modal windows and grabs.
    void deliver(XEvent& event);

    // --- Selections ---

    // Takes PRIMARY and CLIPBOARD with a copy of the UTF-8 text (null clears it), and stores it
    // in ISO-8859-1 in cut buffer 0.
    void setSelection(std::size_t length, const char* text, Time time);
    // The selection's UTF-8 text, or null when none came within a second (per target tried).
    const char* getSelection(Atom selection);
    bool ownsSelection(Atom selection) const { return ownedSelections.count(selection) != 0; }
    const plat::DString& selectionText() const { return selection; }

protected:
    // Notifications, empty by default: configured() for every ConfigureNotify (before
    // sizeChanged), sizeChanged() when the size changed, mapChanged() after MapNotify/UnmapNotify,
    // focusChanged() after FocusIn/FocusOut, takeFocus() for WM_TAKE_FOCUS while mapped.
    virtual void sizeChanged() {}
    virtual void configured() {}
    virtual void mapChanged() {}
    virtual void focusChanged() {}
    virtual void takeFocus(Time /*time*/) {}
    // A conversion arrived: STRING text in ISO-8859-1 or UTF8_STRING text in UTF-8 (an empty
    // UTF8_STRING for an oversized or refused reply). Stores the text by default.
    virtual void selectionNotify(const XSelectionEvent& event, Atom type, const char* data,
                                 std::size_t length);
    // Writes the selection text to the requestor's property as target (UTF8_STRING or STRING);
    // false when it could not.
    virtual bool selectionRequest(Window requestor, Atom selection, Atom property, Atom target);

    XSizeHints sizeHints = {};
    XWMHints wmHints = {};

private:
    static Display* connection;

    void sendSizeHints();
    void handleConfigureNotify(XEvent& event);
    void handleSelectionEvent(XEvent& event);
    void handleSelectionNotify(XSelectionEvent& event);
    void handleSelectionRequest(const XSelectionRequestEvent& request);
    void handleSelectionClear(const XSelectionClearEvent& event);
    void drainIncrementalTransfer(const XPropertyEvent& event);
    bool requestSelection(Atom selection, Atom target);
    void withdraw();
    void leaveDisplayState();

    Window win_ = 0;
    unsigned width_;
    unsigned height_;
    TXWindow* parent;
    int borderWidth;
    std::vector<TXEventHandler*> eventHandlers;
    TXDeleteWindowCallback* deleteWindowCallback = nullptr;
    long eventMask_ = FocusChangeMask | PropertyChangeMask;
    int geometryGravity = NorthWestGravity;
    std::map<Atom, Time> ownedSelections;
    bool toplevel_ = false;
    bool mapped = false;
    bool destroyed = false;
    bool focused = false;
    bool overrideRedirect;
    bool fixedSize = false;
    // The property of an oversized (INCR) transfer whose chunks are deleted as they come.
    Atom incrProperty = None;
    Window transientFor_ = 0;
    plat::DString selection;
    bool grabPointer = false;
    bool grabKeyboard = false;
    bool grabOwnerEvents = true;
    Cursor grabCursor = None;
};

// The position that centres a window on a screen with a margin of (margin x, margin y) on the
// far sides, truncated toward zero (negative when the window is larger).
rfb::Point centredPosition(rfb::Point screen, rfb::Point window, rfb::Point margin);

} // namespace tx
