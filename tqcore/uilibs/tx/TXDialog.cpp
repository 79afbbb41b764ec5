// Running and ending dialogs.
#include <tx/TXDialog.h>

#include <tx/ErrorCatcher.h>
#include <tx/systemColours.h>

namespace tx {

TXDialog::TXDialog(TXWindow* parentWindow, const char* title, bool centreOnResize)
    : TXWParent(nullptr, nullptr, false), centreOnResize(centreOnResize),
      parentWindow(parentWindow) {
    installSystemColours();
    setWidget(&canvas);
    toplevel(title, this);
}

TXDialog::~TXDialog() {
    // The canvas dies with the dialog, before the window host lets its content go.
    setWidget(nullptr);
}

bool TXDialog::run(ErrorCatcher* catcher) {
    done = false;
    result = false;
    setTransientFor(parentWindow ? parentWindow->win() : 0);
    initDialog();
    show(true);
    pushModal(this);
    runEventLoop([&] {
        if (catcher)
            catcher->check("X error in the dialog");
        return done;
    });
    return result;
}

void TXDialog::endDialog(bool newResult) {
    result = newResult;
    done = true;
    if (!isDestroyed())
        show(false);
    if (resultCallback)
        resultCallback->dialogEnded(*this, result);
}

void TXDialog::cancelDialog() {
    endDialog(false);
}

void TXDialog::setDialogSize(rfb::Point size) {
    if (size != rfb::Point(width(), height()))
        resize(size.x, size.y);
    if (centreOnResize)
        centre();
}

void TXDialog::deleteWindow(TXWindow&) {
    cancelDialog();
}

bool TXDialog::handleEvent(XEvent& event) {
    // Another client destroyed the window: nothing would ever end the dialog otherwise. The
    // window is gone, so it is neither withdrawn nor destroyed again.
    if (event.type == DestroyNotify && event.xdestroywindow.window == win()) {
        mapChanged();
        cancelDialog();
        return true;
    }
    return TXWParent::handleEvent(event);
}

} // namespace tx
