// One-shot and repeating timers owned by a per-thread TimerManager, which the thread's event loop
// asks for the next time-out and then lets run the timers that are due.
#pragma once

#include <plat/CircularVector.h>
#include <plat/NonCopyable.h>
#include <plat/Time.h>
#include <plat/TimeSource.h>

#include <cstdint>

namespace plat {

class TimerManager;

class Timer : NonCopyable {
public:
    class Callback {
    public:
        virtual ~Callback() = default;
        // Returning true repeats the timer with its interval (unless the callback restarted it).
        virtual bool timerExpired(Timer* timer) = 0;
    };

    explicit Timer(Callback* callback = nullptr) : callback(callback) {}
    ~Timer() { stop(); }

    void setCallback(Callback* newCallback) { callback = newCallback; }

    // Queues the timer in the calling thread's manager, due in milliseconds (also its interval
    // from now on); an active timer is stopped first.
    void start(int milliseconds);
    void stop();
    bool isActive() const { return manager != nullptr; }
    // Ticks until the timer is due (negative when it is overdue).
    Ticks remaining() const;
    int interval() const { return intervalMs; }

private:
    friend class TimerManager;

    Timer* next = nullptr;
    Timer* previous = nullptr;
    Ticks due = 0;
    std::int32_t intervalMs = 0;
    Callback* callback;
    TimerManager* manager = nullptr;
    bool inDueQueue = false;
};

class TimerManager : NonCopyable {
public:
    // Told when the time until the first pending timer changes; -1 means none is pending.
    class Notifier {
    public:
        virtual ~Notifier() = default;
        virtual void timeoutChanged(int milliseconds) = 0;
    };

    // Becomes the calling thread's manager; replacing an existing one requires nested. The
    // managers of a thread form a stack and must end in reverse order, on the same thread.
    explicit TimerManager(bool nested = false);
    // Stops every timer, without notifications, and reinstates the previous manager.
    virtual ~TimerManager();

    // The calling thread's manager; having none is an internal consistency failure.
    static TimerManager& current();
    static bool threadHasManager();

    // Milliseconds until the first pending timer (rounded up, at most 2147483647), 0 when timers
    // wait to run or the clock reported a jump that process() has yet to handle, -1 when no timer
    // is pending.
    int nextTimeout() const;
    // Runs the timers that are due: -1 when none is pending, the time-out when none is due yet,
    // otherwise 0. Timers whose callbacks have not run because an earlier callback threw stay
    // queued and run first next time.
    int process();
    void setNotifier(Notifier* newNotifier) { notifier = newNotifier; }

private:
    friend class Timer;

    void enqueue(Timer* timer);
    void insertPending(Timer* timer);
    void remove(Timer* timer);
    void unlinkPending(Timer* timer);
    Ticks readClock();
    void restartAfterJump(Ticks now, TimeSource::Jump direction);
    void movePendingToDue(Ticks now);
    void runDueTimers();
    void repeat(Timer* timer, Ticks previousDue);
    void notifyTimeout();

    TimerManager* previousManager;
    Timer* first = nullptr;
    Timer* last = nullptr;
    CircularVector<Timer*> dueQueue;
    Notifier* notifier = nullptr;
    std::uint64_t jumpsSeen;
};

} // namespace plat
