// Recursive mutexes: re-entry by the owner, who alone holds the lock until the last unlock.
#include <plat/Mutex.h>

#include <gtest/gtest.h>

#include <thread>

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

} // namespace
