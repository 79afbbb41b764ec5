// Threads over POSIX threads, with their life logged under "Threading": created, running,
// finished, joined, or a native wrapper for a thread this class did not start.
#pragma once

#include <plat/Mutex.h>
#include <plat/NonCopyable.h>
#include <plat/String.h>

#include <pthread.h>

namespace plat {

class Thread : NonCopyable {
public:
    class Runnable {
    public:
        virtual ~Runnable() = default;
        virtual void run(Thread* thread) = 0;
    };

    enum State { Created = 0, Running = 1, Finished = 2, Joined = 3, Native = 4 };

    // Without a runnable the subclass's own run() is the thread's body.
    explicit Thread(const char* name, Runnable* runnable = nullptr);
    // Joins the thread. A subclass whose run() may still be running must join in its own
    // destructor: by the time this one runs, the subclass part is gone.
    virtual ~Thread();

    // Starts the thread; only once, from the Created state. Raises plat::SystemException
    // "pthread_create" when the system refuses a thread.
    void start();
    // Waits for the thread to finish. Returns this once it has been joined (at once when it
    // already was), or null when there is nothing to join: never started, native, or deleting
    // itself.
    Thread* join();
    // The thread deletes itself after run() returns; nobody may touch the object once it has
    // started. Only before start or from the thread itself, so that the flag cannot come too late.
    void setDeleteWhenFinished();

    State state() const;
    const char* name() const { return threadName.c_str(); }
    // The POSIX thread, zero before start.
    pthread_t id() const;

    // The calling thread's object; a thread not started by this class gets a native wrapper
    // named "Native" on its first call, deleted when the thread ends.
    static Thread* self();

protected:
    // Runs the runnable, if any.
    virtual void run();

private:
    struct NativeTag {};
    explicit Thread(NativeTag);

    static void* threadMain(void* argument);
    void finish();
    void log(int level, const char* event, const char* message = nullptr) const;

    String threadName;
    pthread_t threadId{};
    Runnable* runnable;
    mutable Mutex mutex;
    // Held across the wait in join(), so that a second joiner waits for the first.
    Mutex joinMutex;
    State threadState;
    bool deleteWhenFinished = false;
};

} // namespace plat
