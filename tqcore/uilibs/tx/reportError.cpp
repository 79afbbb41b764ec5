// The error report. Until the toolkit's message box exists, the report takes its fallback road:
// the failure that prevents the box goes to standard error and, with the text, to the log.
// libX11 is loaded only here, so that a launcher run that needs no report does not pay for it.
#include <tx/reportError.h>

#include <plat/Exception.h>
#include <plat/Log.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace tx {

namespace {

plat::LogSrc messageBoxLog("TXMsgBox");

struct XlibFunctions {
    void* library = nullptr;
    void* (*openDisplay)(const char*) = nullptr;
    int (*closeDisplay)(void*) = nullptr;
    const char* (*displayName)(const char*) = nullptr;

    XlibFunctions() {
        library = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return;
        openDisplay = reinterpret_cast<void* (*)(const char*)>(dlsym(library, "XOpenDisplay"));
        closeDisplay = reinterpret_cast<int (*)(void*)>(dlsym(library, "XCloseDisplay"));
        displayName =
            reinterpret_cast<const char* (*)(const char*)>(dlsym(library, "XDisplayName"));
    }
    ~XlibFunctions() {
        if (library)
            dlclose(library);
    }
    bool usable() const { return openDisplay && closeDisplay && displayName; }
};

void showMessageBox(const char* /*text*/) {
    XlibFunctions xlib;
    const char* display = std::getenv("DISPLAY");
    if (!xlib.usable())
        throw plat::ExceptionFmt("unable to open display \"%s\"", display ? display : "");
    void* connection = xlib.openDisplay(nullptr);
    if (!connection)
        throw plat::ExceptionFmt("unable to open display \"%s\"", xlib.displayName(nullptr));
    xlib.closeDisplay(connection);
    throw plat::Exception("message boxes are not available in this build");
}

} // namespace

void reportError(const char* text) {
    try {
        showMessageBox(text);
    } catch (const plat::Exception& failure) {
        char line[plat::Exception::MessageCapacity];
        failure.displayForm(line, sizeof line);
        messageBoxLog.error("%s", line);
        messageBoxLog.error("%s", text);
        std::fprintf(stderr, "%s\n", line);
    }
}

} // namespace tx
