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

void forgetIn(std::vector<FdHandler*>& handlers, const FdHandler* handler) {
    auto found = std::find(handlers.begin(), handlers.end(), handler);
    if (found != handlers.end())
        handlers.erase(found);
}

} // namespace

class PollFdManager::TurnScope {
public:
    explicit TurnScope(PollFdManager& manager) : manager(manager) {
        if (manager.turns.size() == manager.depth)
            manager.turns.push_back(std::make_unique<Turn>());
        turn = manager.turns[manager.depth++].get();
    }
    // Handlers left uncalled because one threw are dropped: poll reports them again.
    ~TurnScope() {
        turn->exceptReady.clear();
        turn->readReady.clear();
        turn->writeReady.clear();
        --manager.depth;
    }

    PollFdManager& manager;
    Turn* turn;
};

PollFdManager::PollFdManager() {
    pollSet.push_back({wakeUpFd(), POLLIN, 0});
}

PollFdManager::~PollFdManager() = default;

bool PollFdManager::interestChanged(FdHandler* handler, bool read, bool write, bool readOther1,
                                    bool readOther2, bool except) {
    bool reading = read || readOther1 || readOther2;
    forget(handler, !except, !reading, !write);
    setEvents(handler,
              short((reading ? POLLIN : 0) | (write ? POLLOUT : 0) | (except ? POLLPRI : 0)));
    return true;
}

void PollFdManager::handlerRemoved(FdHandler* handler) {
    forget(handler, true, true, true);
    setEvents(handler, 0);
}

void PollFdManager::forget(const FdHandler* handler, bool except, bool read, bool write) {
    for (std::size_t level = 0; level < depth; ++level) {
        Turn& turn = *turns[level];
        if (except)
            forgetIn(turn.exceptReady, handler);
        if (read)
            forgetIn(turn.readReady, handler);
        if (write)
            forgetIn(turn.writeReady, handler);
    }
}

// A watch without events leaves the array; the last one moves into its slot.
void PollFdManager::setEvents(FdHandler* handler, short events) {
    auto found = slotOf.find(handler);
    if (found == slotOf.end()) {
        if (events == 0)
            return;
        slotOf.emplace(handler, watches.size());
        watches.push_back({handler, events});
        pollSet.push_back({-1, events, 0});
        return;
    }
    std::size_t slot = found->second;
    if (events != 0) {
        watches[slot].events = events;
        pollSet[slot + 1].events = events;
        return;
    }
    slotOf.erase(found);
    if (slot + 1 != watches.size()) {
        watches[slot] = watches.back();
        pollSet[slot + 1] = pollSet.back();
        slotOf[watches[slot].handler] = slot;
    }
    watches.pop_back();
    pollSet.pop_back();
}

int PollFdManager::wait(int timeoutMs) {
    // Descriptors are read afresh on every turn: a handler may have been given another one.
    for (std::size_t i = 0; i < watches.size(); ++i)
        pollSet[i + 1].fd = watches[i].handler->getFd();
    int ready = ::poll(pollSet.data(), nfds_t(pollSet.size()), effectiveTimeout(timeoutMs));
    if (ready < 0) {
        if (errno != EINTR)
            throw plat::SystemException("poll", errno);
        ready = 0;
    }
    {
        TurnScope scope(*this);
        Turn& turn = *scope.turn;
        if (ready > 0)
            collectReady(ready, turn);
        serve(turn.exceptReady, &FdHandler::handleExcept);
        serve(turn.readReady, &FdHandler::handleRead);
        serve(turn.writeReady, &FdHandler::handleWrite);
    }
    processPending();
    return ready;
}

void PollFdManager::collectReady(int ready, Turn& turn) {
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
            turn.exceptReady.push_back(handler);
        if ((revents & (POLLIN | Troubles)) && (events & POLLIN))
            turn.readReady.push_back(handler);
        if ((revents & (POLLOUT | Troubles)) && (events & POLLOUT))
            turn.writeReady.push_back(handler);
    }
}

// Called from the back, so that a handler taken off the list by an earlier call is never
// reached.
void PollFdManager::serve(std::vector<FdHandler*>& handlers, void (FdHandler::*call)()) {
    while (!handlers.empty()) {
        FdHandler* handler = handlers.back();
        handlers.pop_back();
        (handler->*call)();
    }
}

} // namespace io
