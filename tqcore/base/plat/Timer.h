// One-shot and repeating timers owned by a per-thread TimerManager, which the thread's event loop
// asks for the next time-out and then lets run the timers that are due.
#pragma once

#include <plat/NonCopyable.h>
#include <plat/Time.h>

#include <deque>

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

    // Queues the timer in the calling thread's manager, restarting it when it is active.
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
    int intervalMs = 0;
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

    // Becomes the calling thread's manager; replacing an existing one requires nested.
    explicit TimerManager(bool nested = false);
    virtual ~TimerManager();

    // The calling thread's manager; having none is an internal consistency failure.
    static TimerManager& current();
    static bool threadHasManager();

    // Milliseconds until the first pending timer (rounded up), or -1 when none is pending.
    int nextTimeout() const;
    // Runs the timers that are due: -1 when none is pending, the time-out when none is due yet,
    // otherwise 0.
    int process();
    void setNotifier(Notifier* newNotifier) { notifier = newNotifier; }

private:
    friend class Timer;

    void enqueue(Timer* timer);
    void remove(Timer* timer);
    void unlinkPending(Timer* timer);
    void movePendingToDue(Ticks now);
    void runDueTimers();
    void notifyTimeout();

    TimerManager* previousManager;
    Timer* first = nullptr;
    Timer* last = nullptr;
    std::deque<Timer*> dueQueue;
    Notifier* notifier = nullptr;
};

} // namespace plat
