// The descriptor manager that waits with poll: any descriptor number, read, write and
// exceptional (priority data) interest, the wake-up descriptor and the timers.
#pragma once

#include <io/FdManager.h>

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

    void setEvents(FdHandler* handler, short events);
    void collectReady(int ready);
    void serve(std::vector<FdHandler*>& handlers, void (FdHandler::*call)());
    static void forget(std::vector<FdHandler*>& handlers, const FdHandler* handler);

    // Slot 0 of the poll array is the wake-up descriptor; watch i is polled in slot i + 1.
    std::vector<Watch> watches;
    std::unordered_map<const FdHandler*, std::size_t> slotOf;
    std::vector<pollfd> pollSet;
    // The handlers found ready by the last poll, still to be called in this turn.
    std::vector<FdHandler*> exceptReady;
    std::vector<FdHandler*> readReady;
    std::vector<FdHandler*> writeReady;
};

} // namespace io
