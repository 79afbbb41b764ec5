// Serving the toolkit's X events while a test waits for a condition or for an X client to end.
#pragma once

#include "support/XServer.h"

#include <tx/TXWindow.h>

#include <functional>
#include <vector>

namespace txtest {

// Dispatches events (TXWindow::handleEvents) until done() holds; waits on the connection and,
// when given, on another descriptor. When the thread has a timer manager, its timers run as well.
// False at the deadline.
bool serveEventsUntil(const std::function<bool()>& done, int otherDescriptor = -1,
                      int timeoutMs = testsupport::XDeadlineMs);

// Serves events until the client has ended; its exit status, or -1 at the deadline.
int serveEventsUntilEnded(testsupport::XClient& client);

// A window that records what the toolkit tells it.
class RecordingWindow : public tx::TXWindow, public tx::TXEventHandler {
public:
    explicit RecordingWindow(int width = 100, int height = 80, TXWindow* parent = nullptr)
        : TXWindow(width, height, parent) {
        addEventHandler(this);
    }

    bool handleEvent(XEvent& event) override {
        delivered.push_back(event);
        return false;
    }
    int deliveredOfType(int type) const;

    int configuredCalls = 0;
    int sizeChangedCalls = 0;
    int mapChangedCalls = 0;
    std::vector<XEvent> delivered;

protected:
    void configured() override { configuredCalls++; }
    void sizeChanged() override { sizeChangedCalls++; }
    void mapChanged() override { mapChangedCalls++; }
};

} // namespace txtest
