// Catching X protocol errors in a scope: while a catcher lives, errors are recorded in it and
// logged at its level instead of reaching the process-wide handler.
#pragma once

#include <tx/xlib.h>

namespace tx {

class ErrorCatcher {
public:
    // Syncs first when requests are outstanding, so that earlier errors are not caught here.
    explicit ErrorCatcher(int logLevel = 0);
    // Catchers end in the reverse order of their construction. Syncs first (unless check() said
    // otherwise) so that errors of the scope's requests are caught by it.
    ~ErrorCatcher();
    ErrorCatcher(const ErrorCatcher&) = delete;
    ErrorCatcher& operator=(const ErrorCatcher&) = delete;

    // Syncs when requests are outstanding and throws tx::XErrorException with text and the
    // recorded code when an error was caught; sync tells whether to sync again at the end.
    void check(const char* text = "", bool sync = true);
    // The code of the last error caught, 0 for none.
    int errorCode() const { return code; }

private:
    static int recordError(Display* display, XErrorEvent* error);

    ErrorCatcher* outer;
    XErrorHandler previousHandler;
    int code = 0;
    int logLevel;
    bool syncOnExit = true;
};

} // namespace tx
