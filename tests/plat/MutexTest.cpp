// Recursive mutexes: re-entry by the owner and exclusion of other threads.
#include <plat/Mutex.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

bool lockableFromAnotherThread(plat::Mutex& mutex) {
    bool locked = false;
    std::thread other([&] {
        locked = mutex.tryLock();
        if (locked)
            mutex.unlock();
    });
    other.join();
    return locked;
}

TEST(Mutex, OwnerMayLockAgainAndNeedsAnUnlockForEachLock) {
    plat::Mutex mutex;
    mutex.lock();
    mutex.lock();
    EXPECT_TRUE(mutex.tryLock());
    EXPECT_EQ(mutex.lockDepth(), 3);
    EXPECT_FALSE(lockableFromAnotherThread(mutex));
    mutex.unlock();
    mutex.unlock();
    EXPECT_EQ(mutex.lockDepth(), 1);
    EXPECT_FALSE(lockableFromAnotherThread(mutex));
    mutex.unlock();
    EXPECT_TRUE(lockableFromAnotherThread(mutex));
}

TEST(Mutex, ExcludesOtherThreads) {
    plat::Mutex mutex;
    long counter = 0;
    std::vector<std::thread> workers;
    for (int worker = 0; worker < 4; ++worker) {
        workers.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                plat::MutexLock lock(mutex);
                plat::MutexLock nested(mutex);
                long seen = counter;
                counter = seen + 1;
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(counter, 80000);
}

} // namespace
