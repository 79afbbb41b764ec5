// Condition variables bound to a recursive mutex.
#pragma once

#include <plat/Mutex.h>
#include <plat/NonCopyable.h>

#include <pthread.h>

namespace plat {

class Condition : NonCopyable {
public:
    explicit Condition(Mutex& mutex);
    ~Condition();

    // Releases the mutex, which the caller holds exactly once, until signalled, then takes it
    // again. Wake-ups may be spurious: callers wait in a loop on their own predicate. Only the
    // infinite wait (-1) exists.
    void wait(int timeoutMs = -1);
    // Wakes one waiter, or all of them.
    void signal();
    void broadcast();

private:
    Mutex& mutex;
    pthread_cond_t condition;
};

} // namespace plat
