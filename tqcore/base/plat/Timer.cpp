// The per-thread timer queue: a list of pending timers sorted by due time and a queue of timers
// whose callbacks are about to run.
#include <plat/Timer.h>

#include <plat/Exception.h>

#include <algorithm>
#include <climits>

namespace plat {

namespace {

thread_local TimerManager* thrInst = nullptr;

int roundUpToMilliseconds(Ticks ticks) {
    if (ticks <= 0)
        return 0;
    Ticks milliseconds = (ticks + TicksPerMillisecond - 1) / TicksPerMillisecond;
    return int(std::min<Ticks>(milliseconds, INT_MAX));
}

} // namespace

void Timer::start(int milliseconds) {
    stop();
    intervalMs = milliseconds;
    due = monotonicNow() + Ticks(milliseconds) * TicksPerMillisecond;
    TimerManager::current().enqueue(this);
}

void Timer::stop() {
    if (manager)
        manager->remove(this);
}

Ticks Timer::remaining() const {
    return due - monotonicNow();
}

TimerManager::TimerManager(bool nested) : previousManager(thrInst) {
    PLAT_ASSERT(nested || !thrInst);
    thrInst = this;
}

TimerManager::~TimerManager() {
    while (first)
        remove(first);
    while (!dueQueue.empty())
        remove(dueQueue.front());
    PLAT_ASSERT(thrInst == this);
    thrInst = previousManager;
}

TimerManager& TimerManager::current() {
    PLAT_ASSERT(thrInst);
    return *thrInst;
}

bool TimerManager::threadHasManager() {
    return thrInst != nullptr;
}

int TimerManager::nextTimeout() const {
    if (!first)
        return -1;
    return roundUpToMilliseconds(first->due - monotonicNow());
}

// Timers with equal due times keep the order in which they were started.
void TimerManager::enqueue(Timer* timer) {
    Timer* after = first;
    while (after && after->due <= timer->due)
        after = after->next;
    timer->next = after;
    timer->previous = after ? after->previous : last;
    (timer->previous ? timer->previous->next : first) = timer;
    (after ? after->previous : last) = timer;
    timer->manager = this;
    timer->inDueQueue = false;
    if (first == timer)
        notifyTimeout();
}

void TimerManager::remove(Timer* timer) {
    if (timer->inDueQueue) {
        dueQueue.erase(std::find(dueQueue.begin(), dueQueue.end(), timer));
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
    if (!first)
        return -1;
    Ticks now = monotonicNow();
    if (first->due > now)
        return roundUpToMilliseconds(first->due - now);
    movePendingToDue(now);
    runDueTimers();
    notifyTimeout();
    return 0;
}

void TimerManager::movePendingToDue(Ticks now) {
    while (first && first->due <= now) {
        Timer* timer = first;
        unlinkPending(timer);
        timer->inDueQueue = true;
        dueQueue.push_back(timer);
    }
}

void TimerManager::runDueTimers() {
    while (!dueQueue.empty()) {
        Timer* timer = dueQueue.front();
        dueQueue.pop_front();
        timer->inDueQueue = false;
        timer->manager = nullptr;
        bool repeat = timer->callback && timer->callback->timerExpired(timer);
        // The callback may have restarted the timer with a delay of its own; that one stands.
        if (!repeat || timer->isActive())
            continue;
        // A callback that overran its interval is not made up for by a burst of calls.
        Ticks afterCallback = monotonicNow();
        timer->due += Ticks(timer->intervalMs) * TicksPerMillisecond;
        if (timer->due <= afterCallback)
            timer->due = afterCallback + Ticks(timer->intervalMs) * TicksPerMillisecond;
        enqueue(timer);
    }
}

void TimerManager::notifyTimeout() {
    if (notifier)
        notifier->timeoutChanged(nextTimeout());
}

} // namespace plat
