// A modal dialog window: a top-level widget host whose content is a canvas, shown and run in the
// modal event loop until it is ended, cancelled or closed.
#pragma once

#include <tx/TXWParent.h>

#include <wvw/WCanvas.h>

namespace tx {

class ErrorCatcher;

class TXDialog : public TXWParent, public TXDeleteWindowCallback {
public:
    class ResultCallback {
    public:
        virtual void dialogEnded(TXDialog& dialog, bool result) = 0;

    protected:
        ~ResultCallback() = default;
    };

    TXDialog(TXWindow* parentWindow, const char* title, bool centreOnResize);
    ~TXDialog() override;

    // Shows the dialog and runs the event loop until it ends; returns the result. With a
    // catcher, an X error caught during a round of the loop ends the run with its exception.
    bool run(ErrorCatcher* catcher = nullptr);
    void endDialog(bool result);
    virtual void initDialog() {}
    // Ends the dialog with result false; what closing the window does.
    virtual void cancelDialog();
    // Resizes the window (and centres it when the dialog was made so).
    void setDialogSize(rfb::Point size);
    void setResultCallback(ResultCallback* callback) { resultCallback = callback; }

    bool isDone() const { return done; }
    bool getResult() const { return result; }
    wvw::WCanvas& getCanvas() { return canvas; }

protected:
    void deleteWindow(TXWindow& window) override;
    bool handleEvent(XEvent& event) override;

private:
    bool done = false;
    bool result = false;
    bool centreOnResize;
    wvw::WCanvas canvas;
    TXWindow* parentWindow;
    ResultCallback* resultCallback = nullptr;
};

} // namespace tx
