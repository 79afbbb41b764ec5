// The descriptor manager that waits with poll: any descriptor number, read, write and
// exceptional (priority data) interest, the wake-up descriptor and the timers.
#pragma once

#include <io/FdManager.h>

#include <memory>
#include <poll.h>
#include <unordered_map>
#include <vector>

namespace io {

class PollFdManager : public FdManager {
public:
    PollFdManager();
    ~PollFdManager() override;

    // Serves ready descriptors (exceptional, then readable, then writable), then runs
    // processPending(). Returns the number of ready descriptors; an interrupted wait returns 0.
    int wait(int timeoutMs) override;

protected:
    bool interestChanged(FdHandler* handler, bool read, bool write, bool readOther1,
                         bool readOther2, bool except) override;
    void handlerRemoved(FdHandler* handler) override;

private:
    struct Watch {
        FdHandler* handler;
        short events;
    };

    // The handlers one poll found ready, still to be called in its turn.
    struct Turn {
        std::vector<FdHandler*> exceptReady;
        std::vector<FdHandler*> readReady;
        std::vector<FdHandler*> writeReady;
    };
    class TurnScope;

    void setEvents(FdHandler* handler, short events);
    void collectReady(int ready, Turn& turn);
    static void serve(std::vector<FdHandler*>& handlers, void (FdHandler::*call)());
    // Takes the handler off the given lists of every turn in progress.
    void forget(const FdHandler* handler, bool except, bool read, bool write);

    // Slot 0 of the poll array is the wake-up descriptor; watch i is polled in slot i + 1.
    std::vector<Watch> watches;
    std::unordered_map<const FdHandler*, std::size_t> slotOf;
    std::vector<pollfd> pollSet;
    // A callback may wait again (a nested event loop): each depth has a turn of its own, kept
    // for reuse.
    std::vector<std::unique_ptr<Turn>> turns;
    std::size_t depth = 0;
};

} // namespace io
