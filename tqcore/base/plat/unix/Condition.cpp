// POSIX condition variables.
#include <plat/Condition.h>

#include <plat/Exception.h>

#include <cstring>

namespace plat {

Condition::Condition(Mutex& mutex) : mutex(mutex) {
    int error = pthread_cond_init(&condition, nullptr);
    PLAT_ASSERT_INFO(error == 0, "pthread_cond_init: %s", std::strerror(error));
}

Condition::~Condition() {
    pthread_cond_destroy(&condition);
}

void Condition::wait(int timeoutMs) {
    PLAT_ASSERT_INFO(timeoutMs == -1, "Condition timed wait not implemented yet");
    // The wait gives up one level of a recursive lock only; with more, no other thread could
    // take the mutex to signal, and the waiter would sleep for ever.
    PLAT_ASSERT(mutex.depth == 1);
    mutex.depth = 0;
    int error = pthread_cond_wait(&condition, &mutex.mutex);
    mutex.depth = 1;
    PLAT_ASSERT_INFO(error == 0, "pthread_cond_wait: %s", std::strerror(error));
}

void Condition::signal() {
    pthread_cond_signal(&condition);
}

void Condition::broadcast() {
    pthread_cond_broadcast(&condition);
}

} // namespace plat
