// Recursive mutexes over POSIX threads, and a scoped lock for them.
#pragma once

#include <plat/NonCopyable.h>

#include <pthread.h>

namespace plat {

// The owning thread may lock again; each lock needs its own unlock.
class Mutex : NonCopyable {
public:
    Mutex();
    ~Mutex();

    void lock();
    bool tryLock();
    void unlock();

    // How often the calling thread, which must hold the mutex, has locked it.
    int lockDepth() const { return depth; }

private:
    friend class Condition;

    pthread_mutex_t mutex;
    // Changed only by the owner while it holds the mutex.
    int depth = 0;
};

class MutexLock : NonCopyable {
public:
    explicit MutexLock(Mutex& mutex) : mutex(mutex) { mutex.lock(); }
    ~MutexLock() { mutex.unlock(); }

private:
    Mutex& mutex;
};

} // namespace plat
