// POSIX threads with their events logged under "Threading".
#include <plat/Thread.h>

#include <plat/Exception.h>
#include <plat/Log.h>
#include <plat/ThreadSpecific.h>

namespace plat {

namespace {

LogSrc threadLog("Threading");

// Threads started by this class clear their slot before they end, so that a joiner may destroy
// their objects; only native wrappers are released here.
void releaseNativeWrapper(void* value) {
    Thread* thread = static_cast<Thread*>(value);
    if (thread->state() == Thread::Native)
        delete thread;
}

// Never destroyed: threads may end, and their wrappers be released, after static destruction.
ThreadSpecificPtr<Thread>& currentThread() {
    static ThreadSpecificPtr<Thread>* slot = new ThreadSpecificPtr<Thread>(releaseNativeWrapper);
    return *slot;
}

} // namespace

Thread::Thread(const char* name, Runnable* runnable)
    : threadName(name), runnable(runnable), threadState(Created) {
    log(LogSrc::Debug, "created");
}

Thread::Thread(NativeTag)
    : threadName("Native"), threadId(pthread_self()), runnable(nullptr), threadState(Native) {
    log(LogSrc::Debug, "native");
}

Thread::~Thread() {
    log(LogSrc::Debug, "destroy");
    join();
    log(LogSrc::Debug, "destroyed");
}

// The lock is held until pthread_create has stored the id, which the new thread logs first.
void Thread::start() {
    MutexLock lock(mutex);
    PLAT_ASSERT(threadState == Created);
    threadState = Running;
    int error = pthread_create(&threadId, nullptr, threadMain, this);
    if (error != 0) {
        threadState = Created;
        threadId = pthread_t();
        throw SystemException("pthread_create", error);
    }
}

Thread* Thread::join() {
    MutexLock joinLock(joinMutex);
    pthread_t joinee;
    {
        MutexLock lock(mutex);
        if (threadState == Native || threadState == Created || deleteWhenFinished)
            return nullptr;
        if (threadState == Joined)
            return this;
        joinee = threadId;
    }
    PLAT_ASSERT(!pthread_equal(joinee, pthread_self()));
    log(LogSrc::Debug, "join");
    pthread_join(joinee, nullptr);
    {
        MutexLock lock(mutex);
        threadState = Joined;
    }
    log(LogSrc::Debug, "joined");
    return this;
}

void Thread::setDeleteWhenFinished() {
    MutexLock lock(mutex);
    PLAT_ASSERT(threadState == Created || currentThread().get() == this);
    deleteWhenFinished = true;
}

Thread::State Thread::state() const {
    MutexLock lock(mutex);
    return threadState;
}

pthread_t Thread::id() const {
    MutexLock lock(mutex);
    return threadId;
}

Thread* Thread::self() {
    Thread* current = currentThread().get();
    if (!current) {
        current = new Thread(NativeTag());
        currentThread().set(current);
    }
    return current;
}

void Thread::run() {
    if (runnable)
        runnable->run(this);
}

void* Thread::threadMain(void* argument) {
    Thread* thread = static_cast<Thread*>(argument);
    currentThread().set(thread);
    thread->log(LogSrc::Debug, "started");
    try {
        thread->run();
        thread->log(LogSrc::Debug, "stopped");
    } catch (const Exception& e) {
        // Reported as an error: at debug level a failed thread would go unnoticed.
        thread->log(LogSrc::Error, "failed", e.message());
    }
    currentThread().set(nullptr);
    thread->finish();
    return nullptr;
}

// Nothing touches the object after the lock is released unless it deletes itself: a joiner may
// destroy it as soon as the thread has ended.
void Thread::finish() {
    bool deleteSelf;
    {
        MutexLock lock(mutex);
        threadState = Finished;
        deleteSelf = deleteWhenFinished;
    }
    if (deleteSelf) {
        pthread_detach(pthread_self());
        delete this;
    }
}

// The id is copied rather than read under the lock while writing, so that the log's own lock is
// never taken inside a thread's.
void Thread::log(int level, const char* event, const char* message) const {
    if (!threadLog.enabled(level))
        return;
    threadLog.write(level, "%-9s %s %lx%s%s", event, name(), (unsigned long)id(),
                    message ? ": " : "", message ? message : "");
}

} // namespace plat
