// Conditions: signal() and broadcast() wake waiters that are already waiting, and a wait that
// could never be woken is refused.
#include <plat/Condition.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

// Threads that each count themselves under the mutex right before they wait. The mutex is given
// up only inside wait(), so once the test has taken it and seen every count, all of them wait.
class Waiters {
public:
    explicit Waiters(int count) {
        for (int i = 0; i < count; ++i)
            threads.emplace_back([this] {
                plat::MutexLock lock(mutex);
                ++waiting;
                while (!released)
                    condition.wait();
                ++woken;
            });
        while (locked([this] { return waiting; }) < count)
            std::this_thread::yield();
    }
    // Releases whoever still waits, so that a failed case ends too.
    ~Waiters() {
        release();
        condition.broadcast();
        for (std::thread& thread : threads)
            thread.join();
    }

    void release() {
        plat::MutexLock lock(mutex);
        released = true;
    }
    // How many have woken once that many did, or when ten seconds have passed.
    int wokenOnceThereAre(int expected) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (locked([this] { return woken; }) < expected &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        return locked([this] { return woken; });
    }

    plat::Mutex mutex;
    plat::Condition condition{mutex};

private:
    template <typename Read>
    int locked(Read read) {
        plat::MutexLock lock(mutex);
        return read();
    }

    std::vector<std::thread> threads;
    int waiting = 0;
    int woken = 0;
    bool released = false;
};

TEST(Condition, SignalWakesAWaiterThatIsAlreadyWaiting) {
    Waiters waiters(1);
    waiters.release();
    waiters.condition.signal();
    EXPECT_EQ(waiters.wokenOnceThereAre(1), 1);
}

TEST(Condition, BroadcastWakesEveryWaiter) {
    Waiters waiters(3);
    waiters.release();
    waiters.condition.broadcast();
    EXPECT_EQ(waiters.wokenOnceThereAre(3), 3);
}

TEST(Condition, WaitingWithTheMutexLockedTwiceIsAnAssertionFailure) {
    plat::Mutex mutex;
    plat::Condition condition(mutex);
    EXPECT_DEATH(
        {
            plat::MutexLock lock(mutex);
            plat::MutexLock again(mutex);
            condition.wait();
        },
        "Assertion 'mutex.depth == 1' failed");
}

} // namespace
