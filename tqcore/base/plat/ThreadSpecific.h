// Thread-specific storage: one pointer-sized slot per thread under a process-wide key (the
// calling thread's timer manager, its Thread object, its translation state).
#pragma once

#include <plat/NonCopyable.h>

#include <pthread.h>

namespace plat {

class ThreadSpecific : NonCopyable {
public:
    // Called at the exit of each thread whose slot is not null; never for the main thread, whose
    // values live until the process ends.
    using Destructor = void (*)(void* value);

    // Raises plat::SystemException "pthread_key_create" when the process has no keys left.
    explicit ThreadSpecific(Destructor destructor = nullptr);
    ~ThreadSpecific();

    // Null until the calling thread stores a value.
    void* get() const { return pthread_getspecific(key); }
    void set(void* value);

private:
    pthread_key_t key;
};

// The same slot holding a T*; ownership stays with the caller (or the destructor function).
template <class T>
class ThreadSpecificPtr : ThreadSpecific {
public:
    explicit ThreadSpecificPtr(Destructor destructor = nullptr) : ThreadSpecific(destructor) {}

    T* get() const { return static_cast<T*>(ThreadSpecific::get()); }
    void set(T* value) { ThreadSpecific::set(value); }
};

} // namespace plat
