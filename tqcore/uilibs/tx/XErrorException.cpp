// Building the message of an X error within the exception's fixed capacity.
#include <tx/XErrorException.h>

#include <tx/TXWindow.h>

#include <plat/fixedText.h>

#include <cstdio>
#include <cstring>

namespace tx {

XErrorException::XErrorException(const char* text, int code) : code(code) {
    setType("XError");
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, " (%d)", code);
    // The caller's and the server's texts share what the suffix leaves, so it is never cut off.
    char body[MessageCapacity] = {};
    std::size_t bodyCapacity = MessageCapacity - std::strlen(suffix);
    if (text && *text) {
        plat::boundedAppend(body, bodyCapacity, text);
        plat::boundedAppend(body, bodyCapacity, ": ");
    }
    char serverText[MessageCapacity] = {};
    if (TXWindow::display())
        XGetErrorText(TXWindow::display(), code, serverText, sizeof serverText);
    plat::boundedAppend(body, bodyCapacity, serverText);
    appendMessage(body);
    appendMessage(suffix);
}

} // namespace tx
