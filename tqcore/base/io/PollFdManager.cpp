// poll-based waiting: the poll array mirrors the handlers' interests, and a handler that loses
// its interest or leaves during a turn is taken off the ready lists before it would be called.
#include <io/PollFdManager.h>

#include <plat/Exception.h>

#include <algorithm>
#include <cerrno>

namespace io {

namespace {

// Hang-ups and errors are reported to whichever side watches, so that it reads the end of the
// stream or meets the write error.
constexpr short Troubles = POLLERR | POLLHUP | POLLNVAL;

} // namespace

PollFdManager::PollFdManager() {
    pollSet.push_back({wakeUpFd(), POLLIN, 0});
}

PollFdManager::~PollFdManager() = default;

bool PollFdManager::interestChanged(FdHandler* handler, bool read, bool write, bool readOther1,
                                    bool readOther2, bool except) {
    short events = 0;
    if (read || readOther1 || readOther2)
        events |= POLLIN;
    else
        forget(readReady, handler);
    if (write)
        events |= POLLOUT;
    else
        forget(writeReady, handler);
    if (except)
        events |= POLLPRI;
    else
        forget(exceptReady, handler);
    setEvents(handler, events);
    return true;
}

void PollFdManager::handlerRemoved(FdHandler* handler) {
    forget(exceptReady, handler);
    forget(readReady, handler);
    forget(writeReady, handler);
    setEvents(handler, 0);
}

// A watch without events leaves the array; the last one moves into its slot.
void PollFdManager::setEvents(FdHandler* handler, short events) {
    auto found = slotOf.find(handler);
    if (found == slotOf.end()) {
        if (events == 0)
            return;
        slotOf.emplace(handler, watches.size());
        watches.push_back({handler, events});
        pollSet.push_back({-1, 0, 0});
        return;
    }
    std::size_t slot = found->second;
    if (events != 0) {
        watches[slot].events = events;
        return;
    }
    slotOf.erase(found);
    if (slot + 1 != watches.size()) {
        watches[slot] = watches.back();
        slotOf[watches[slot].handler] = slot;
    }
    watches.pop_back();
    pollSet.pop_back();
}

void PollFdManager::forget(std::vector<FdHandler*>& handlers, const FdHandler* handler) {
    auto found = std::find(handlers.begin(), handlers.end(), handler);
    if (found != handlers.end())
        handlers.erase(found);
}

int PollFdManager::wait(int timeoutMs) {
    // Descriptors are read afresh on every turn: a handler may have been given another one.
    for (std::size_t i = 0; i < watches.size(); ++i) {
        pollSet[i + 1].fd = watches[i].handler->getFd();
        pollSet[i + 1].events = watches[i].events;
        pollSet[i + 1].revents = 0;
    }
    pollSet[0].revents = 0;
    int ready = ::poll(pollSet.data(), nfds_t(pollSet.size()), effectiveTimeout(timeoutMs));
    if (ready < 0) {
        if (errno != EINTR)
            throw plat::SystemException("poll", errno);
        ready = 0;
    }
    if (ready > 0)
        collectReady(ready);
    serve(exceptReady, &FdHandler::handleExcept);
    serve(readReady, &FdHandler::handleRead);
    serve(writeReady, &FdHandler::handleWrite);
    processPending();
    return ready;
}

void PollFdManager::collectReady(int ready) {
    if (pollSet[0].revents) {
        clearWakeUp();
        --ready;
    }
    for (std::size_t i = 0; i < watches.size() && ready > 0; ++i) {
        short revents = pollSet[i + 1].revents;
        if (!revents)
            continue;
        --ready;
        short events = watches[i].events;
        FdHandler* handler = watches[i].handler;
        if ((revents & POLLPRI) && (events & POLLPRI))
            exceptReady.push_back(handler);
        if ((revents & (POLLIN | Troubles)) && (events & POLLIN))
            readReady.push_back(handler);
        if ((revents & (POLLOUT | Troubles)) && (events & POLLOUT))
            writeReady.push_back(handler);
    }
}

// Called from the back, so that a handler taken off the list by an earlier call is never
// reached. Handlers not yet called when one throws are dropped: poll reports them again.
void PollFdManager::serve(std::vector<FdHandler*>& handlers, void (FdHandler::*call)()) {
    while (!handlers.empty()) {
        FdHandler* handler = handlers.back();
        handlers.pop_back();
        try {
            (handler->*call)();
        } catch (...) {
            exceptReady.clear();
            readReady.clear();
            writeReady.clear();
            throw;
        }
    }
}

} // namespace io
