// Threads: the state sequence, joining (twice, concurrently, on self-deleting threads), the
// calling thread's object and native wrappers, failures in run(), and the log lines.
#include <plat/Thread.h>

#include <plat/Condition.h>
#include <plat/Exception.h>
#include <plat/Log.h>
#include <plat/Mutex.h>

#include <support/LogCapture.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

using plat::Thread;

// Blocks callers of wait() until release(); stays open afterwards.
class Gate {
public:
    void wait() {
        plat::MutexLock lock(mutex);
        while (!open)
            opened.wait();
    }
    void release() {
        plat::MutexLock lock(mutex);
        open = true;
        opened.broadcast();
    }

private:
    plat::Mutex mutex;
    plat::Condition opened{mutex};
    bool open = false;
};

class GatedRunnable : public Thread::Runnable {
public:
    explicit GatedRunnable(Gate& gate) : gate(gate) {}
    void run(Thread* thread) override {
        selfInRun = Thread::self();
        passedThread = thread;
        gate.wait();
    }

    std::atomic<Thread*> selfInRun{nullptr};
    std::atomic<Thread*> passedThread{nullptr};

private:
    Gate& gate;
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
    GatedRunnable body(gate);
    Thread thread("worker", &body);
    EXPECT_EQ(thread.state(), Thread::Created);
    EXPECT_STREQ(thread.name(), "worker");
    thread.start();
    EXPECT_EQ(thread.state(), Thread::Running);
    gate.release();
    waitForState(thread, Thread::Finished);
    EXPECT_EQ(thread.join(), &thread);
    EXPECT_EQ(thread.state(), Thread::Joined);
    EXPECT_EQ(body.selfInRun.load(), &thread);
    EXPECT_EQ(body.passedThread.load(), &thread);
}

TEST(Thread, JoiningTwiceReturnsAtOnceTheSecondTime) {
    Gate gate;
    GatedRunnable body(gate);
    Thread thread("worker", &body);
    thread.start();
    gate.release();
    EXPECT_EQ(thread.join(), &thread);
    EXPECT_EQ(thread.join(), &thread);
    EXPECT_EQ(thread.state(), Thread::Joined);
}

TEST(Thread, ConcurrentJoinersBothSeeTheThreadJoined) {
    Gate gate;
    GatedRunnable body(gate);
    Thread thread("worker", &body);
    thread.start();
    std::atomic<Thread*> first{nullptr}, second{nullptr};
    std::thread joinerA([&] { first = thread.join(); });
    std::thread joinerB([&] { second = thread.join(); });
    gate.release();
    joinerA.join();
    joinerB.join();
    EXPECT_EQ(first.load(), &thread);
    EXPECT_EQ(second.load(), &thread);
}

TEST(Thread, NeverStartedThreadHasNothingToJoin) {
    Thread thread("idle");
    EXPECT_EQ(thread.join(), nullptr);
    EXPECT_EQ(thread.state(), Thread::Created);
}

TEST(Thread, DestructorWaitsForRunToEnd) {
    std::atomic<bool> ended{false};
    class SlowRunnable : public Thread::Runnable {
    public:
        explicit SlowRunnable(std::atomic<bool>& ended) : ended(ended) {}
        void run(Thread*) override {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            ended = true;
        }
        std::atomic<bool>& ended;
    } body(ended);
    {
        Thread thread("slow", &body);
        thread.start();
    }
    EXPECT_TRUE(ended.load());
}

class SelfDeletingThread : public Thread {
public:
    SelfDeletingThread(Gate& runGate, Gate& destroyed)
        : Thread("ephemeral"), runGate(runGate), destroyed(destroyed) {}
    ~SelfDeletingThread() override { destroyed.release(); }

protected:
    void run() override { runGate.wait(); }

private:
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
    class Failing : public Thread::Runnable {
        void run(Thread*) override { throw plat::Exception("boom"); }
    } body;
    Thread thread("failing", &body);
    testsupport::LogCapture log("Threading:stderr:10");
    thread.start();
    thread.join();
    EXPECT_TRUE(log.contains("Threading: failed    failing " + hexId(thread) + ": boom\n"))
        << log.text();
    EXPECT_EQ(thread.state(), Thread::Joined);
}

TEST(Thread, LogsEachEventInOneFormat) {
    testsupport::LogCapture log("Threading:stderr:100");
    std::string id;
    {
        Thread thread("logged");
        thread.start();
        thread.join();
        id = hexId(thread);
    }
    EXPECT_TRUE(log.contains("Threading: created   logged 0\n")) << log.text();
    for (const char* event :
         {"started  ", "stopped  ", "join     ", "joined   ", "destroy  ", "destroyed"})
        EXPECT_TRUE(log.contains(std::string("Threading: ") + event + " logged " + id + "\n"))
            << event << "\n"
            << log.text();
}

TEST(Thread, SelfOutsideThisClassIsANativeWrapper) {
    Thread* main = Thread::self();
    EXPECT_EQ(Thread::self(), main);
    EXPECT_STREQ(main->name(), "Native");
    EXPECT_EQ(main->state(), Thread::Native);
    EXPECT_TRUE(pthread_equal(main->id(), pthread_self()));
    EXPECT_EQ(main->join(), nullptr);
}

TEST(Thread, NativeWrapperOfAForeignThreadEndsWithIt) {
    testsupport::LogCapture log("Threading:stderr:100");
    Thread* seen = nullptr;
    std::thread foreign([&] { seen = Thread::self(); });
    foreign.join();
    EXPECT_NE(seen, Thread::self());
    EXPECT_TRUE(log.contains("Threading: native    Native ")) << log.text();
    EXPECT_TRUE(log.contains("Threading: destroyed Native ")) << log.text();
}

TEST(Thread, StartingTwiceIsAnAssertionFailure) {
    EXPECT_DEATH(
        {
            Thread thread("twice");
            thread.start();
            thread.start();
        },
        "Assertion 'threadState == Created' failed");
}

TEST(Thread, DeleteWhenFinishedFromAnotherThreadAfterStartIsAnAssertionFailure) {
    EXPECT_DEATH(
        {
            Gate gate;
            GatedRunnable body(gate);
            Thread thread("late", &body);
            thread.start();
            thread.setDeleteWhenFinished();
        },
        "Assertion 'threadState == Created \\|\\| currentThread\\(\\).get\\(\\) == this' failed");
}

} // namespace
