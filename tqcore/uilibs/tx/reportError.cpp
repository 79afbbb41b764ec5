// The error report: the launcher's failure in a message box with the error icon and one "OK"
// button; when no box can be shown, the failure that prevented it on standard error and, with the
// text, in the log.
#include <tx/reportError.h>

#include <tx/ErrorCatcher.h>
#include <tx/TXMsgBox.h>
#include <tx/TXWindow.h>

#include <os/AppInfo.h>
#include <plat/Exception.h>
#include <plat/LogSrc.h>
#include <tqutil/NamedImagePixelBuffer.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <vector>

namespace tx {

namespace {

plat::LogSrc messageBoxLog("TXMsgBox");

// Appends width, height and the pixels as non-premultiplied ARGB, one per item; false when the
// image cannot be had at that size.
bool appendIcon(std::vector<long>& items, const char* name, int side) {
    auto image = tqutil::getNamedImage(name, {side, side});
    if (!image || image->width() != side || image->height() != side)
        return false;
    items.push_back(side);
    items.push_back(side);
    const rfb::PixelFormat& pf = image->getPf();
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            std::uint32_t pixel = image->getPixel({x, y});
            auto channel = [&](int max, int shift) { return max ? (pixel >> shift) & max : 0; };
            std::uint32_t alpha = pf.hasAlpha() ? channel(pf.alphaMax, pf.alphaShift) : 255;
            auto straight = [&](std::uint32_t c) {
                return alpha ? std::min(255u, c * 255 / alpha) : 0;
            };
            std::uint32_t red = straight(channel(pf.redMax, pf.redShift));
            std::uint32_t green = straight(channel(pf.greenMax, pf.greenShift));
            std::uint32_t blue = straight(channel(pf.blueMax, pf.blueShift));
            items.push_back(long(alpha << 24 | red << 16 | green << 8 | blue));
        }
    }
    return true;
}

// Once per process, and again after a failure: the application's icon for every top-level window.
void installApplicationIcon() {
    static bool installed = false;
    const char* app = os::AppInfo::getApp(true);
    if (installed || !app[0])
        return;
    std::vector<long> items;
    if (appendIcon(items, app, 16) && appendIcon(items, app, 48))
        TXWindow::setDefaultIcon(std::move(items));
    installed = true;
}

void showReport(const char* text) {
    TXWindow::init();
    installApplicationIcon();
    // Errors of the box's requests end up here, not in Xlib's handler that would exit.
    ErrorCatcher catcher(plat::LogSrc::Debug);
    TXMsgBox box(nullptr, text, TXMsgBox::IconError | TXMsgBox::Ok, nullptr);
    catcher.check("X error while building the message box");
    box.run(&catcher);
}

void reportFallback(const char* failure, const char* text) {
    messageBoxLog.error("%s", failure);
    messageBoxLog.error("%s", text);
    std::fprintf(stderr, "%s\n", failure);
}

} // namespace

void reportError(const char* text) {
    // Whatever stops the box, the launcher's text is logged and the caller goes on to exit
    // normally, so that its extracted file is removed.
    try {
        showReport(text);
    } catch (const plat::Exception& failure) {
        char line[plat::Exception::MessageCapacity];
        failure.displayForm(line, sizeof line);
        reportFallback(line, text);
    } catch (const std::exception& failure) {
        reportFallback(failure.what(), text);
    } catch (...) {
        reportFallback("unknown failure", text);
    }
}

} // namespace tx
