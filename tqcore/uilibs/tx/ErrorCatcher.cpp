// The stack of error catchers and the handler that records into the innermost one.
#include <tx/ErrorCatcher.h>

#include <tx/TXWindow.h>
#include <tx/XErrorException.h>

#include <plat/Exception.h>
#include <plat/LogSrc.h>

namespace tx {

namespace {

plat::LogSrc catcherLog("ErrorCatcher");

// The innermost catcher.
ErrorCatcher* curr = nullptr;

void syncIfOutstanding() {
    Display* display = TXWindow::display();
    if (display && !TXWindow::connectionLost() &&
        NextRequest(display) - 1 > LastKnownRequestProcessed(display))
        XSync(display, False);
}

} // namespace

ErrorCatcher::ErrorCatcher(int logLevel) : logLevel(logLevel) {
    syncIfOutstanding();
    outer = curr;
    curr = this;
    previousHandler = XSetErrorHandler(recordError);
}

ErrorCatcher::~ErrorCatcher() {
    PLAT_ASSERT(curr == this);
    if (syncOnExit)
        syncIfOutstanding();
    curr = outer;
    XSetErrorHandler(previousHandler);
}

void ErrorCatcher::check(const char* text, bool sync) {
    syncIfOutstanding();
    syncOnExit = sync;
    if (code != 0)
        throw XErrorException(text, code);
}

int ErrorCatcher::recordError(Display*, XErrorEvent* error) {
    if (!curr)
        return 0;
    curr->code = error->error_code;
    XErrorException failure("X Error", error->error_code);
    catcherLog.write(curr->logLevel, "%s", failure.message());
    return 0;
}

} // namespace tx
