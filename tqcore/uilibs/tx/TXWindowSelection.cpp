// Selections: owning PRIMARY and CLIPBOARD with cut buffer 0, serving TARGETS, TIMESTAMP,
// UTF8_STRING and STRING, fetching another client's text with oversized (INCR) transfers drained
// and discarded; and the server time.
#include <tx/TXWindow.h>

#include <tx/ErrorCatcher.h>
#include <tx/TXUtil.h>
#include <tx/displayState.h>

#include <plat/Exception.h>
#include <plat/utf8.h>

#include <X11/Xatom.h>

#include <memory>

namespace tx {

namespace {

// Larger texts come as INCR transfers; a property beyond this is refused, not read.
constexpr long MaxSelectionBytes = 4 << 20;
constexpr int ConversionTimeoutMs = 1000;

struct XFreeDeleter {
    void operator()(unsigned char* data) const {
        if (data)
            XFree(data);
    }
};
using XData = std::unique_ptr<unsigned char, XFreeDeleter>;

struct Property {
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long bytesAfter = 0;
    XData data;
};

Property readProperty(Window window, Atom property, long maxBytes, bool remove) {
    Property result;
    unsigned char* data = nullptr;
    int status = XGetWindowProperty(requireDisplay(), window, property, 0, maxBytes / 4, remove,
                                    AnyPropertyType, &result.type, &result.format, &result.items,
                                    &result.bytesAfter, &data);
    result.data.reset(data);
    if (status != Success)
        result.type = None;
    return result;
}

plat::DString atomName(Atom atom) {
    char* name = atom == None ? nullptr : XGetAtomName(requireDisplay(), atom);
    plat::DString text(name ? name : "None");
    if (name)
        XFree(name);
    return text;
}

} // namespace

void TXWindow::setSelection(std::size_t length, const char* text, Time time) {
    windowLog.debug("Acquiring PRIMARY and CLIPBOARD selections timestamp %lu", time);
    Display* display = requireDisplay();
    if (text)
        selection.assign(text, int(length));
    else
        selection.clear();
    plat::DString latin1 = plat::utf8ToLatin1(selection.c_str(), selection.length());
    XStoreBytes(display, latin1.c_str(), latin1.length());
    auto& owners = displayState().selectionOwners;
    for (Atom name : {Atom(XA_PRIMARY), atoms::clipboard()}) {
        XSetSelectionOwner(display, name, win_, time);
        if (XGetSelectionOwner(display, name) != win_)
            continue;
        ownedSelections[name] = time;
        auto previous = owners.find(name);
        if (previous != owners.end() && previous->second != this)
            previous->second->ownedSelections.erase(name);
        owners[name] = this;
    }
}

const char* TXWindow::getSelection(Atom name) {
    auto& owners = displayState().selectionOwners;
    auto owner = owners.find(name);
    if (owner != owners.end())
        return owner->second->selection.c_str();
    if (!requestSelection(name, atoms::utf8String()))
        requestSelection(name, XA_STRING);
    return selection.get();
}

bool TXWindow::requestSelection(Atom name, Atom target) {
    selection.reset();
    // The transfer still being drained shares the property with this request's reply.
    incrProperty = None;
    XConvertSelection(requireDisplay(), name, target, atoms::selectionString(), win_, CurrentTime);
    XEvent event;
    if (!waitForWindowEvent(win_, SelectionNotify, ConversionTimeoutMs, event)) {
        if (windowLog.enabled(plat::LogSrc::Debug))
            windowLog.debug("timed out waiting for %s %s for 0x%lx", atomName(name).c_str(),
                            atomName(target).c_str(), win_);
        return false;
    }
    handleXEvent(event);
    return !selection.isEmpty() || incrProperty != None;
}

void TXWindow::handleSelectionEvent(XEvent& event) {
    switch (event.type) {
    case PropertyNotify:
        if (incrProperty != None && event.xproperty.atom == incrProperty &&
            event.xproperty.state == PropertyNewValue)
            drainIncrementalTransfer(event.xproperty);
        break;
    case SelectionClear:
        handleSelectionClear(event.xselectionclear);
        break;
    case SelectionRequest:
        handleSelectionRequest(event.xselectionrequest);
        break;
    case SelectionNotify:
        handleSelectionNotify(event.xselection);
        break;
    default:
        break;
    }
}

void TXWindow::handleSelectionNotify(XSelectionEvent& event) {
    if (event.property == None)
        return;
    Property reply = readProperty(win_, event.property, MaxSelectionBytes, true);
    if (reply.type == atoms::incr()) {
        windowLog.status("Ignoring large selection - replacing with empty string");
        incrProperty = event.property;
        selectionNotify(event, atoms::utf8String(), "", 0);
        return;
    }
    bool isText = reply.type == XA_STRING || reply.type == atoms::utf8String();
    if (!isText || reply.format != 8 || reply.bytesAfter != 0) {
        // A read that did not take the whole property does not delete it.
        XDeleteProperty(requireDisplay(), win_, event.property);
        selectionNotify(event, atoms::utf8String(), "", 0);
        return;
    }
    selectionNotify(event, reply.type, reinterpret_cast<const char*>(reply.data.get()),
                    reply.items);
}

void TXWindow::drainIncrementalTransfer(const XPropertyEvent& event) {
    // Deleting each chunk asks the owner for the next one; the empty chunk ends the transfer.
    // The notice of the INCR property itself, queued before the reply, finds nothing: the reply
    // has deleted it.
    Property chunk = readProperty(win_, event.atom, 0, false);
    if (chunk.type == None)
        return;
    XDeleteProperty(requireDisplay(), win_, event.atom);
    if (chunk.bytesAfter == 0)
        incrProperty = None;
}

void TXWindow::selectionNotify(const XSelectionEvent&, Atom type, const char* data,
                               std::size_t length) {
    if (type == XA_STRING)
        selection = plat::latin1ToUtf8(data, int(length));
    else
        selection = plat::sanitiseUtf8(data, data + length);
}

void TXWindow::handleSelectionRequest(const XSelectionRequestEvent& request) {
    XEvent reply = {};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = request.property == None ? request.target : request.property;
    Display* display = requireDisplay();
    // The requestor may be gone by now: its BadWindow is no failure of ours.
    ErrorCatcher catcher(100);
    bool written = false;
    auto owned = ownedSelections.find(request.selection);
    if (owned != ownedSelections.end()) {
        Atom property = reply.xselection.property;
        if (request.target == atoms::targets()) {
            Atom targets[] = {atoms::timestamp(), atoms::utf8String(), XA_STRING};
            XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(targets), 3);
            written = true;
        } else if (request.target == atoms::timestamp()) {
            long time = long(owned->second);
            XChangeProperty(display, request.requestor, property, XA_INTEGER, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(&time), 1);
            written = true;
        } else if (request.target == atoms::utf8String() || request.target == XA_STRING) {
            written =
                selectionRequest(request.requestor, request.selection, property, request.target);
        }
    }
    if (!written)
        reply.xselection.property = None;
    XSendEvent(display, request.requestor, False, 0, &reply);
}

bool TXWindow::selectionRequest(Window requestor, Atom, Atom property, Atom target) {
    plat::DString text = target == XA_STRING
                             ? plat::utf8ToLatin1(selection.c_str(), selection.length())
                             : plat::DString(selection.c_str());
    XChangeProperty(requireDisplay(), requestor, property, target, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.c_str()), text.length());
    return true;
}

void TXWindow::handleSelectionClear(const XSelectionClearEvent& event) {
    ownedSelections.erase(event.selection);
    auto& owners = displayState().selectionOwners;
    auto owner = owners.find(event.selection);
    if (owner != owners.end() && owner->second == this)
        owners.erase(owner);
}

Time TXWindow::getServerTime() {
    Display* display = requireDisplay();
    DisplayState& state = displayState();
    if (!state.timeWindow) {
        state.timeWindow = XCreateSimpleWindow(display, state.root, 0, 0, 1, 1, 0, 0, 0);
        XSelectInput(display, state.timeWindow, PropertyChangeMask);
    }
    // An empty append changes nothing but still makes the server stamp a PropertyNotify.
    unsigned char nothing = 0;
    XChangeProperty(display, state.timeWindow, atoms::timestamp(), XA_CARDINAL, 32, PropModeAppend,
                    &nothing, 0);
    XSync(display, False);
    XEvent event;
    bool gotTime = XCheckTypedWindowEvent(display, state.timeWindow, PropertyNotify, &event);
    PLAT_ASSERT(gotTime);
    return event.xproperty.time;
}

} // namespace tx
