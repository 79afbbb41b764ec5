// Recursive POSIX mutexes sharing one attribute object.
#include <plat/Mutex.h>

#include <plat/Exception.h>

#include <cstring>
#include <unistd.h>

namespace plat {

namespace {

const char RecursiveWarning[] =
    "WARNING: system libpthread has no recursive mutexes; deadlock may result.\n";

pthread_mutexattr_t* createRecursiveAttributes() {
    static pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    if (pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE) != 0) {
        ssize_t ignored = ::write(STDERR_FILENO, RecursiveWarning, sizeof RecursiveWarning - 1);
        (void)ignored;
    }
    return &attributes;
}

// Created once per process; never destroyed, as static mutexes may outlive any other object.
const pthread_mutexattr_t* recursiveAttributes() {
    static const pthread_mutexattr_t* attributes = createRecursiveAttributes();
    return attributes;
}

} // namespace

Mutex::Mutex() {
    int error = pthread_mutex_init(&mutex, recursiveAttributes());
    PLAT_ASSERT_INFO(error == 0, "pthread_mutex_init: %s", std::strerror(error));
}

Mutex::~Mutex() {
    pthread_mutex_destroy(&mutex);
}

// A failure here means a broken caller (an unlock by a thread that does not hold the mutex) or a
// lock count overflow; carrying on would corrupt whatever the mutex guards.
void Mutex::lock() {
    int error = pthread_mutex_lock(&mutex);
    PLAT_ASSERT_INFO(error == 0, "pthread_mutex_lock: %s", std::strerror(error));
    ++depth;
}

bool Mutex::tryLock() {
    if (pthread_mutex_trylock(&mutex) != 0)
        return false;
    ++depth;
    return true;
}

void Mutex::unlock() {
    --depth;
    int error = pthread_mutex_unlock(&mutex);
    PLAT_ASSERT_INFO(error == 0, "pthread_mutex_unlock: %s", std::strerror(error));
}

} // namespace plat
