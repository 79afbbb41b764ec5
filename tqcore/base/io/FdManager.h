// The per-thread registry of descriptor handlers and their interests, with the thread's timer
// queue and a select-based wait that dispatches ready descriptors and due timers.
#pragma once

#include <io/FdHandler.h>
#include <plat/NonCopyable.h>
#include <plat/Timer.h>

#include <vector>

namespace io {

class FdManager : plat::NonCopyable {
public:
    // Becomes the calling thread's manager until it is destroyed.
    FdManager();
    virtual ~FdManager();

    // The calling thread's manager, or null.
    static FdManager* current();

    // Registers (present) or unregisters the handler; unregistering drops all its interest. A
    // handler must be unregistered before it is destroyed.
    void add(FdHandler* handler, bool present);
    bool isRegistered(const FdHandler* handler) const;
    void setInterest(FdHandler* handler, bool read, bool write, bool readOther1 = false,
                     bool readOther2 = false, bool except = false);

    // Runs the timers that are due.
    void processPending();

    // Waits at most timeoutMs (negative: without limit, shortened to the next timer) for a
    // registered descriptor to become ready, calls its handlers, then runs due timers. Returns
    // the number of ready descriptors; an interrupted wait returns 0.
    virtual int wait(int timeoutMs);

    plat::TimerManager& timerManager() { return timers; }

private:
    int effectiveTimeout(int timeoutMs) const;
    void dispatch(const std::vector<FdHandler*>& readable, const std::vector<FdHandler*>& writable,
                  const std::vector<FdHandler*>& exceptional);

    // Each set is kept sorted by address.
    std::vector<FdHandler*> handlers;
    std::vector<FdHandler*> readInterest;
    std::vector<FdHandler*> writeInterest;
    std::vector<FdHandler*> exceptInterest;
    plat::TimerManager timers{true};
    FdManager* previousManager;
};

} // namespace io
