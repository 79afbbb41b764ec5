// The per-thread timer queue: a list of pending timers sorted by due time and a queue of timers
// whose callbacks are about to run.
#include <plat/Timer.h>

#include <plat/Exception.h>
#include <plat/Log.h>
#include <plat/ThreadSpecific.h>

#include <algorithm>
#include <climits>

namespace plat {

namespace {

LogSrc timerLog("TimerManager");

// Never destroyed: managers on other threads may end after static destruction.
ThreadSpecificPtr<TimerManager>& currentManager() {
    static ThreadSpecificPtr<TimerManager>* slot = new ThreadSpecificPtr<TimerManager>;
    return *slot;
}

Ticks ticksOf(int milliseconds) {
    return Ticks(milliseconds) * TicksPerMillisecond;
}

int roundUpToMilliseconds(Ticks ticks) {
    if (ticks <= 0)
        return 0;
    Ticks milliseconds = ticks / TicksPerMillisecond + (ticks % TicksPerMillisecond != 0);
    return int(std::min<Ticks>(milliseconds, INT_MAX));
}

} // namespace

void Timer::start(int milliseconds) {
    stop();
    intervalMs = milliseconds;
    due = monotonicNow() + ticksOf(milliseconds);
    TimerManager::current().enqueue(this);
}

void Timer::stop() {
    if (manager)
        manager->remove(this);
}

Ticks Timer::remaining() const {
    return due - monotonicNow();
}

TimerManager::TimerManager(bool nested) : jumpsSeen(timeJumps().count) {
    TimerManager* thrInst = currentManager().get();
    PLAT_ASSERT(nested || !thrInst);
    previousManager = thrInst;
    currentManager().set(this);
}

TimerManager::~TimerManager() {
    // A notifier that is part of a derived object is already gone.
    notifier = nullptr;
    while (first)
        remove(first);
    while (!dueQueue.empty())
        remove(dueQueue.front());
    TimerManager* thrInst = currentManager().get();
    PLAT_ASSERT(thrInst == this);
    currentManager().set(previousManager);
}

TimerManager& TimerManager::current() {
    TimerManager* thrInst = currentManager().get();
    PLAT_ASSERT(thrInst);
    return *thrInst;
}

bool TimerManager::threadHasManager() {
    return currentManager().get() != nullptr;
}

int TimerManager::nextTimeout() const {
    if (!dueQueue.empty())
        return 0;
    if (!first)
        return -1;
    Ticks now = monotonicNow();
    if (timeJumps().count != jumpsSeen)
        return 0;
    return roundUpToMilliseconds(first->due - now);
}

void TimerManager::enqueue(Timer* timer) {
    insertPending(timer);
    if (first == timer)
        notifyTimeout();
}

// Timers with equal due times keep the order in which they were queued.
void TimerManager::insertPending(Timer* timer) {
    Timer* after = first;
    while (after && after->due <= timer->due)
        after = after->next;
    timer->next = after;
    timer->previous = after ? after->previous : last;
    (timer->previous ? timer->previous->next : first) = timer;
    (after ? after->previous : last) = timer;
    timer->manager = this;
    timer->inDueQueue = false;
}

void TimerManager::remove(Timer* timer) {
    if (timer->inDueQueue) {
        dueQueue.remove(timer);
        timer->inDueQueue = false;
        timer->manager = nullptr;
        return;
    }
    bool wasFirst = first == timer;
    unlinkPending(timer);
    timer->manager = nullptr;
    if (wasFirst)
        notifyTimeout();
}

void TimerManager::unlinkPending(Timer* timer) {
    (timer->previous ? timer->previous->next : first) = timer->next;
    (timer->next ? timer->next->previous : last) = timer->previous;
    timer->next = timer->previous = nullptr;
}

int TimerManager::process() {
    if (!first && dueQueue.empty()) {
        // Nothing to restart: a jump before now concerns no timer of this manager.
        jumpsSeen = timeJumps().count;
        return -1;
    }
    Ticks now = readClock();
    if (dueQueue.empty() && first->due > now)
        return roundUpToMilliseconds(first->due - now);
    movePendingToDue(now);
    runDueTimers();
    notifyTimeout();
    return 0;
}

// Reads monotonic now; when the time source reported a jump since the last reading, the due
// times measured on the old time line mean nothing and every timer starts afresh.
Ticks TimerManager::readClock() {
    Ticks now = monotonicNow();
    TimeJumps jumps = timeJumps();
    if (jumps.count != jumpsSeen) {
        jumpsSeen = jumps.count;
        restartAfterJump(now, jumps.latest);
    }
    return now;
}

void TimerManager::restartAfterJump(Ticks now, TimeSource::Jump direction) {
    timerLog.status(direction == TimeSource::Jump::Backwards
                        ? "Time has moved backwards - restarting timers"
                        : "Time has jumped forwards - restarting timers");
    Timer* pending = first;
    first = last = nullptr;
    while (pending) {
        Timer* timer = pending;
        pending = pending->next;
        timer->due = now + ticksOf(timer->intervalMs);
        insertPending(timer);
    }
    for (std::uint32_t index = 0; index < dueQueue.size(); ++index)
        dueQueue[index]->due = now;
    notifyTimeout();
}

void TimerManager::movePendingToDue(Ticks now) {
    while (first && first->due <= now) {
        Timer* timer = first;
        unlinkPending(timer);
        timer->inDueQueue = true;
        dueQueue.pushBack(timer);
    }
}

// A callback may start, stop or destroy other timers, and stop or restart its own; once it has
// returned false its timer may already be gone.
void TimerManager::runDueTimers() {
    while (!dueQueue.empty()) {
        Timer* timer = dueQueue.popFront();
        timer->inDueQueue = false;
        timer->manager = nullptr;
        Ticks previousDue = timer->due;
        bool repeatWanted = timer->callback && timer->callback->timerExpired(timer);
        // A timer restarted by its callback keeps the delay given there.
        if (repeatWanted && !timer->isActive())
            repeat(timer, previousDue);
    }
}

// A callback that overran its interval is not made up for by a burst of calls.
void TimerManager::repeat(Timer* timer, Ticks previousDue) {
    Ticks now = monotonicNow();
    timer->due = previousDue + ticksOf(timer->intervalMs);
    if (timer->due <= now)
        timer->due = now + ticksOf(timer->intervalMs);
    enqueue(timer);
}

void TimerManager::notifyTimeout() {
    if (notifier)
        notifier->timeoutChanged(nextTimeout());
}

} // namespace plat
