// Conditions: waking one waiter, waking all of them, and the waits that are refused.
#include <plat/Condition.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(Condition, SignalWakesAWaiter) {
    plat::Mutex mutex;
    plat::Condition condition(mutex);
    bool ready = false;
    // Fails by hanging if the signal is lost.
    std::thread waiter([&] {
        plat::MutexLock lock(mutex);
        while (!ready)
            condition.wait();
    });
    {
        plat::MutexLock lock(mutex);
        ready = true;
        condition.signal();
    }
    waiter.join();
}

TEST(Condition, BroadcastWakesEveryWaiter) {
    plat::Mutex mutex;
    plat::Condition condition(mutex);
    plat::Condition allWaiting(mutex);
    int waiting = 0;
    int woken = 0;
    bool go = false;
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            plat::MutexLock lock(mutex);
            ++waiting;
            allWaiting.signal();
            while (!go)
                condition.wait();
            ++woken;
        });
    }
    {
        // Each waiter gives up the mutex only inside wait(), so all three wait from here on.
        plat::MutexLock lock(mutex);
        while (waiting < 3)
            allWaiting.wait();
        go = true;
        condition.broadcast();
    }
    for (std::thread& waiter : waiters)
        waiter.join();
    EXPECT_EQ(woken, 3);
}

TEST(Condition, TimedWaitOrWaitingWithTheMutexLockedTwiceIsAnAssertionFailure) {
    plat::Mutex mutex;
    plat::Condition condition(mutex);
    EXPECT_DEATH(
        {
            plat::MutexLock lock(mutex);
            condition.wait(100);
        },
        "Assertion 'timeoutMs == -1' failed at .*: Condition timed wait not implemented yet");
    EXPECT_DEATH(
        {
            plat::MutexLock lock(mutex);
            plat::MutexLock again(mutex);
            condition.wait();
        },
        "Assertion 'mutex.depth == 1' failed");
}

} // namespace
