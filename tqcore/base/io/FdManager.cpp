// Registration, interest tracking and the select-based wait of the per-thread descriptor manager.
#include <io/FdManager.h>

#include <plat/Exception.h>

#include <algorithm>
#include <cerrno>
#include <sys/select.h>

namespace io {

namespace {

thread_local FdManager* currentManager = nullptr;

bool contains(const std::vector<FdHandler*>& set, const FdHandler* handler) {
    return std::binary_search(set.begin(), set.end(), handler);
}

void insert(std::vector<FdHandler*>& set, FdHandler* handler) {
    auto position = std::lower_bound(set.begin(), set.end(), handler);
    if (position == set.end() || *position != handler)
        set.insert(position, handler);
}

void erase(std::vector<FdHandler*>& set, FdHandler* handler) {
    auto position = std::lower_bound(set.begin(), set.end(), handler);
    if (position != set.end() && *position == handler)
        set.erase(position);
}

void update(std::vector<FdHandler*>& set, FdHandler* handler, bool present) {
    if (present)
        insert(set, handler);
    else
        erase(set, handler);
}

// select cannot watch descriptors at or above FD_SETSIZE.
void addToSet(const std::vector<FdHandler*>& handlers, fd_set& set, int& highest) {
    FD_ZERO(&set);
    for (FdHandler* handler : handlers) {
        if (handler->getFd() < 0)
            continue;
        if (handler->getFd() >= FD_SETSIZE)
            throw plat::SystemException("select", EMFILE);
        FD_SET(handler->getFd(), &set);
        highest = std::max(highest, handler->getFd());
    }
}

std::vector<FdHandler*> readyIn(const std::vector<FdHandler*>& handlers, const fd_set& set) {
    std::vector<FdHandler*> ready;
    for (FdHandler* handler : handlers)
        if (handler->getFd() >= 0 && FD_ISSET(handler->getFd(), &set))
            ready.push_back(handler);
    return ready;
}

} // namespace

FdManager::FdManager() : previousManager(currentManager) {
    currentManager = this;
}

FdManager::~FdManager() {
    std::vector<FdHandler*> remaining;
    remaining.swap(handlers);
    readInterest.clear();
    writeInterest.clear();
    exceptInterest.clear();
    for (FdHandler* handler : remaining)
        handler->managerGone();
    currentManager = previousManager;
}

FdManager* FdManager::current() {
    return currentManager;
}

void FdManager::add(FdHandler* handler, bool present) {
    update(handlers, handler, present);
    if (!present)
        setInterest(handler, false, false);
}

bool FdManager::isRegistered(const FdHandler* handler) const {
    return contains(handlers, handler);
}

void FdManager::setInterest(FdHandler* handler, bool read, bool write, bool readOther1,
                            bool readOther2, bool except) {
    update(readInterest, handler, read || readOther1 || readOther2);
    update(writeInterest, handler, write);
    update(exceptInterest, handler, except);
}

void FdManager::processPending() {
    timers.process();
}

int FdManager::effectiveTimeout(int timeoutMs) const {
    int timerTimeout = timers.nextTimeout();
    if (timeoutMs < 0)
        return timerTimeout;
    if (timerTimeout < 0)
        return timeoutMs;
    return std::min(timeoutMs, timerTimeout);
}

int FdManager::wait(int timeoutMs) {
    processPending();
    fd_set readSet, writeSet, exceptSet;
    int highest = -1;
    addToSet(readInterest, readSet, highest);
    addToSet(writeInterest, writeSet, highest);
    addToSet(exceptInterest, exceptSet, highest);
    int timeout = effectiveTimeout(timeoutMs);
    timeval limit{timeout / 1000, (timeout % 1000) * 1000};
    int ready =
        ::select(highest + 1, &readSet, &writeSet, &exceptSet, timeout < 0 ? nullptr : &limit);
    if (ready < 0) {
        if (errno == EINTR)
            return 0;
        throw plat::SystemException("select", errno);
    }
    dispatch(readyIn(readInterest, readSet), readyIn(writeInterest, writeSet),
             readyIn(exceptInterest, exceptSet));
    processPending();
    return ready;
}

// A handler may unregister itself or others while the ready lists are worked off.
void FdManager::dispatch(const std::vector<FdHandler*>& readable,
                         const std::vector<FdHandler*>& writable,
                         const std::vector<FdHandler*>& exceptional) {
    for (FdHandler* handler : exceptional)
        if (contains(exceptInterest, handler))
            handler->handleExcept();
    for (FdHandler* handler : readable)
        if (contains(readInterest, handler))
            handler->handleRead();
    for (FdHandler* handler : writable)
        if (contains(writeInterest, handler))
            handler->handleWrite();
}

} // namespace io
