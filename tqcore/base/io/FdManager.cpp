// Registration, pending queues, descriptor closing and the wake-up of the per-thread manager.
#include <io/FdManager.h>

#include <plat/Exception.h>
#include <plat/ScopedFlag.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace io {

namespace {

thread_local FdManager* currentManager = nullptr;

bool contains(const std::vector<FdHandler*>& set, const FdHandler* handler) {
    return std::binary_search(set.begin(), set.end(), handler);
}

void insertSorted(std::vector<FdHandler*>& set, FdHandler* handler) {
    auto position = std::lower_bound(set.begin(), set.end(), handler);
    if (position == set.end() || *position != handler)
        set.insert(position, handler);
}

void eraseSorted(std::vector<FdHandler*>& set, const FdHandler* handler) {
    auto position = std::lower_bound(set.begin(), set.end(), handler);
    if (position != set.end() && *position == handler)
        set.erase(position);
}

// Handlers left in a pass that a callback broke off with an exception run in the next one.
class ScratchRestorer {
public:
    ScratchRestorer(std::vector<FdHandler*>& queue, std::vector<FdHandler*>& scratch)
        : queue(queue), scratch(scratch) {}
    ~ScratchRestorer() {
        for (FdHandler* handler : scratch)
            insertSorted(queue, handler);
        scratch.clear();
    }

private:
    std::vector<FdHandler*>& queue;
    std::vector<FdHandler*>& scratch;
};

} // namespace

FdManager::FdManager() : previousManager(currentManager) {
    int event = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (event < 0)
        throw plat::SystemException("eventfd", errno);
    wakeUpEvent.reset(event);
    currentManager = this;
}

// A handler told managerGone() may destroy itself or others; each leaves the sets first, so the
// loop never reaches a destroyed one.
FdManager::~FdManager() {
    while (!handlers.empty()) {
        FdHandler* handler = handlers.back();
        remove(handler);
        handler->managerGone();
    }
    currentManager = previousManager;
}

FdManager* FdManager::current() {
    return currentManager;
}

void FdManager::forgetEverywhere(FdHandler* handler) {
    for (FdManager* manager = currentManager; manager; manager = manager->previousManager)
        manager->remove(handler);
}

void FdManager::add(FdHandler* handler, bool present) {
    if (present)
        insertSorted(handlers, handler);
    else
        remove(handler);
}

// Also reached for handlers that were given interest without being registered.
void FdManager::remove(FdHandler* handler) {
    for (auto* set : {&handlers, &readPending, &writePending, &otherPending, &readScratch,
                      &writeScratch, &otherScratch})
        eraseSorted(*set, handler);
    handlerRemoved(handler);
}

bool FdManager::isRegistered(const FdHandler* handler) const {
    return contains(handlers, handler);
}

bool FdManager::setInterest(FdHandler* handler, bool read, bool write, bool readOther1,
                            bool readOther2, bool except) {
    if (!read && !readOther1 && !readOther2) {
        eraseSorted(readPending, handler);
        eraseSorted(readScratch, handler);
    }
    if (!write) {
        eraseSorted(writePending, handler);
        eraseSorted(writeScratch, handler);
    }
    if (!except) {
        eraseSorted(otherPending, handler);
        eraseSorted(otherScratch, handler);
    }
    return interestChanged(handler, read, write, readOther1, readOther2, except);
}

bool FdManager::interestChanged(FdHandler*, bool, bool, bool, bool, bool except) {
    return !except;
}

void FdManager::setPending(FdHandler* handler, Pending queue) {
    switch (queue) {
    case Pending::Read:
        insertSorted(readPending, handler);
        break;
    case Pending::Write:
        insertSorted(writePending, handler);
        break;
    case Pending::Other:
        insertSorted(otherPending, handler);
        break;
    }
}

bool FdManager::hasPendingWork() const {
    return !readPending.empty() || !writePending.empty() || !otherPending.empty();
}

void FdManager::processPending() {
    timers.process();
    // A callback that runs a nested event loop must not take over the queues of this pass.
    if (processing)
        return;
    plat::ScopedFlag inPass(processing);
    runQueue(otherPending, otherScratch, &FdHandler::handlePending);
    runQueue(readPending, readScratch, &FdHandler::handleRead);
    runQueue(writePending, writeScratch, &FdHandler::handleWrite);
}

// Unregistering erases a handler from the scratch set as well, so one removed by an earlier
// callback is never reached.
void FdManager::runQueue(std::vector<FdHandler*>& queue, std::vector<FdHandler*>& scratch,
                         void (FdHandler::*call)()) {
    if (queue.empty())
        return;
    scratch.swap(queue);
    ScratchRestorer restorer(queue, scratch);
    while (!scratch.empty()) {
        FdHandler* handler = scratch.back();
        scratch.pop_back();
        (handler->*call)();
    }
}

void FdManager::closeAllExcept(int descriptor) {
    for (FdHandler* handler : handlers)
        if (handler->getFd() != descriptor)
            handler->closeDescriptor();
}

int FdManager::wait(int) {
    return 0;
}

// The flag keeps a burst of wake-ups to one write.
void FdManager::wake() {
    if (wakeUpAsked.exchange(true))
        return;
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t written = ::write(wakeUpEvent.get(), &one, sizeof one);
}

// The flag is cleared before the event is read: a wake() racing with this either finds the flag
// still set (and the woken thread goes on to serve its work) or writes the event again.
void FdManager::clearWakeUp() {
    wakeUpAsked.store(false);
    std::uint64_t count;
    [[maybe_unused]] ssize_t got = ::read(wakeUpEvent.get(), &count, sizeof count);
}

int FdManager::effectiveTimeout(int timeoutMs) const {
    if (hasPendingWork() || wakeUpAsked.load())
        return 0;
    int timerTimeout = timers.nextTimeout();
    if (timeoutMs < 0)
        return timerTimeout;
    if (timerTimeout < 0)
        return timeoutMs;
    return std::min(timeoutMs, timerTimeout);
}

} // namespace io
