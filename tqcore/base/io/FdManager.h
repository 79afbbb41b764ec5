// The per-thread registry of descriptor handlers: which handlers exist, which have work queued
// for the next pass, the thread's timer queue and a wake-up that any thread may trigger. Waiting
// on the descriptors is left to a subclass (PollFdManager).
#pragma once

#include <io/FdHandler.h>
#include <plat/NonCopyable.h>
#include <plat/Timer.h>
#include <plat/UniqueFd.h>

#include <atomic>
#include <vector>

namespace io {

class FdManager : plat::NonCopyable {
public:
    // The three queues of work that processPending() hands out.
    enum class Pending { Read, Write, Other };

    // Becomes the calling thread's manager until it is destroyed.
    FdManager();
    // Tells every handler still registered managerGone(), then releases the timers.
    virtual ~FdManager();

    // The calling thread's manager, or null.
    static FdManager* current();

    // Registers (present) or unregisters the handler; unregistering takes it off every queue.
    void add(FdHandler* handler, bool present);
    bool isRegistered(const FdHandler* handler) const;
    // Dropping an interest also takes the handler off the matching queue; readOther1 and
    // readOther2 count as read interest. False when the wait cannot serve the interest.
    bool setInterest(FdHandler* handler, bool read, bool write, bool readOther1 = false,
                     bool readOther2 = false, bool except = false);
    // Queues handleRead, handleWrite or handlePending for the next pass of processPending().
    void setPending(FdHandler* handler, Pending queue);
    bool hasPendingWork() const;

    // Runs the timers that are due, then the other-pending, read-pending and write-pending
    // queues, each from the last handler to the first. Handlers queued meanwhile wait for the
    // next pass; a handler unregistered or destroyed during the pass is not called.
    void processPending();

    // Closes the descriptors of every registered handler except the given number; the handlers
    // are left without a descriptor, so no destructor closes a reused number.
    void closeAllExcept(int descriptor);

    // Waits at most timeoutMs (negative: without limit) for events and serves them; returns
    // their number. The base has nothing to wait on and returns 0.
    virtual int wait(int timeoutMs);

    // Makes the current or next wait return soon. Safe from any thread.
    void wake();

    plat::TimerManager& timerManager() { return timers; }

    // Removes a handler that is being destroyed from every manager of the calling thread.
    static void forgetEverywhere(FdHandler* handler);

protected:
    // The wait's view of a handler's interest; the base serves none but reports only the
    // exceptional interest as unsupported.
    virtual bool interestChanged(FdHandler* handler, bool read, bool write, bool readOther1,
                                 bool readOther2, bool except);
    // The handler has left the registry; the wait must forget it.
    virtual void handlerRemoved(FdHandler*) {}

    // The descriptor that becomes readable when wake() is called.
    int wakeUpFd() const { return wakeUpEvent.get(); }
    // Consumes the wake-up once the wait has seen its descriptor readable.
    void clearWakeUp();
    // The caller's time-out shortened to the next timer, and 0 when work is queued or a wake-up
    // was asked for.
    int effectiveTimeout(int timeoutMs) const;

private:
    void remove(FdHandler* handler);
    void runQueue(std::vector<FdHandler*>& queue, std::vector<FdHandler*>& scratch,
                  void (FdHandler::*call)());

    // Each set is kept sorted by address.
    std::vector<FdHandler*> handlers;
    std::vector<FdHandler*> readPending;
    std::vector<FdHandler*> writePending;
    std::vector<FdHandler*> otherPending;
    std::vector<FdHandler*> readScratch;
    std::vector<FdHandler*> writeScratch;
    std::vector<FdHandler*> otherScratch;
    plat::TimerManager timers{true};
    plat::UniqueFd wakeUpEvent;
    std::atomic<bool> wakeUpAsked{false};
    FdManager* previousManager;
    bool processing = false;
};

} // namespace io
