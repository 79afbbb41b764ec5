// Threads: the state sequence, joining (twice, on self-deleting threads), the calling thread's
// object and native wrappers, and failures in run().
#include <plat/Thread.h>

#include <plat/Exception.h>
#include <plat/Log.h>

#include <support/LogCapture.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <future>
#include <string>
#include <thread>

namespace {

using plat::Thread;

// Blocks callers of wait() until release(); stays open afterwards.
struct Gate {
    std::promise<void> promise;
    std::shared_future<void> opened = promise.get_future().share();
    void wait() const { opened.wait(); }
    void release() { promise.set_value(); }
};

struct FunctionRunnable : Thread::Runnable {
    explicit FunctionRunnable(std::function<void(Thread*)> body) : body(std::move(body)) {}
    void run(Thread* thread) override { body(thread); }
    std::function<void(Thread*)> body;
};

// Polls without an upper bound on the time it may take.
void waitForState(const Thread& thread, Thread::State state) {
    while (thread.state() != state)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::string hexId(const Thread& thread) {
    char text[32];
    std::snprintf(text, sizeof text, "%lx", (unsigned long)thread.id());
    return text;
}

TEST(Thread, GoesFromCreatedThroughRunningAndFinishedToJoined) {
    Gate gate;
    std::atomic<Thread*> selfInRun{nullptr}, passedThread{nullptr};
    FunctionRunnable body([&](Thread* thread) {
        selfInRun = Thread::self();
        passedThread = thread;
        gate.wait();
    });
    Thread thread("worker", &body);
    EXPECT_EQ(thread.state(), Thread::Created);
    thread.start();
    EXPECT_EQ(thread.state(), Thread::Running);
    gate.release();
    waitForState(thread, Thread::Finished);
    EXPECT_EQ(thread.join(), &thread);
    EXPECT_EQ(thread.state(), Thread::Joined);
    EXPECT_EQ(thread.join(), &thread) << "a second join returns at once";
    EXPECT_TRUE(selfInRun == &thread && passedThread == &thread);
}

struct SelfDeletingThread : Thread {
    SelfDeletingThread(Gate& runGate, Gate& destroyed)
        : Thread("ephemeral"), runGate(runGate), destroyed(destroyed) {}
    ~SelfDeletingThread() override { destroyed.release(); }
    void run() override { runGate.wait(); }
    Gate& runGate;
    Gate& destroyed;
};

TEST(Thread, SelfDeletingThreadDisappearsAfterRunAndCannotBeJoined) {
    Gate runGate, destroyed;
    auto* thread = new SelfDeletingThread(runGate, destroyed);
    thread->setDeleteWhenFinished();
    thread->start();
    EXPECT_EQ(thread->join(), nullptr);
    runGate.release();
    // Returns only once the thread has deleted its object.
    destroyed.wait();
}

TEST(Thread, ExceptionFromRunIsLoggedAsFailureAndTheThreadFinishes) {
    FunctionRunnable body([](Thread*) { throw plat::Exception("boom"); });
    Thread thread("failing", &body);
    testsupport::LogCapture log("Threading:stderr:10");
    thread.start();
    thread.join();
    EXPECT_TRUE(log.contains("Threading: failed    failing " + hexId(thread) + ": boom\n"))
        << log.text();
}

TEST(Thread, SelfOutsideThisClassIsANativeWrapperThatEndsWithItsThread) {
    Thread* main = Thread::self();
    EXPECT_STREQ(main->name(), "Native");
    EXPECT_EQ(main->state(), Thread::Native);
    EXPECT_TRUE(pthread_equal(main->id(), pthread_self()));
    EXPECT_EQ(main->join(), nullptr);

    testsupport::LogCapture log("Threading:stderr:100");
    Thread* seen = nullptr;
    std::thread foreign([&] { seen = Thread::self(); });
    foreign.join();
    EXPECT_NE(seen, main);
    EXPECT_TRUE(log.contains("Threading: native    Native ")) << log.text();
    EXPECT_TRUE(log.contains("Threading: destroyed Native ")) << log.text();
}

} // namespace
