// Event serving for the toolkit's tests.
#include "xEvents.h"

#include <plat/Timer.h>

#include <cerrno>
#include <poll.h>
#include <time.h>

namespace txtest {

namespace {

long long monotonicMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000 + now.tv_nsec / 1000000;
}

} // namespace

bool serveEventsUntil(const std::function<bool()>& done, int otherDescriptor, int timeoutMs) {
    Display* display = tx::TXWindow::display();
    long long deadline = monotonicMs() + timeoutMs;
    for (;;) {
        tx::TXWindow::handleEvents();
        int nextTimer = -1;
        if (plat::TimerManager::threadHasManager()) {
            nextTimer = plat::TimerManager::current().process();
            // The timers' requests go out, and replies may have brought events along.
            if (XPending(display))
                continue;
        }
        if (done())
            return true;
        long long left = deadline - monotonicMs();
        if (left <= 0)
            return false;
        int wait = nextTimer >= 0 && nextTimer < left ? nextTimer : int(left);
        pollfd ready[2] = {{ConnectionNumber(display), POLLIN, 0}, {otherDescriptor, POLLIN, 0}};
        if (poll(ready, otherDescriptor >= 0 ? 2 : 1, wait) < 0 && errno != EINTR)
            return false;
    }
}

int serveEventsUntilEnded(testsupport::XClient& client) {
    if (!serveEventsUntil([&] { return client.hasEnded(); }, client.endDescriptor()))
        client.kill();
    return client.wait(0);
}

int RecordingWindow::deliveredOfType(int type) const {
    int count = 0;
    for (const XEvent& event : delivered)
        count += event.type == type;
    return count;
}

} // namespace txtest
