// Thread-specific storage over POSIX keys.
#include <plat/ThreadSpecific.h>

#include <plat/Exception.h>

#include <cstring>

namespace plat {

ThreadSpecific::ThreadSpecific(Destructor destructor) {
    int error = pthread_key_create(&key, destructor);
    if (error != 0)
        throw SystemException("pthread_key_create", error);
}

ThreadSpecific::~ThreadSpecific() {
    pthread_key_delete(key);
}

// Fails only without memory for the thread's second-level key table; there is no sensible way
// on for the caller, whose per-thread state would silently be lost.
void ThreadSpecific::set(void* value) {
    int error = pthread_setspecific(key, value);
    PLAT_ASSERT_INFO(error == 0, "pthread_setspecific: %s", std::strerror(error));
}

} // namespace plat
