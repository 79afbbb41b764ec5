// Timers: ordering of equal due times, repetition, restarting from the callback, and the rule
// that a repeating timer which fell behind does not fire in a burst.
#include <plat/Timer.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace {

class FunctionTimer : public plat::Timer::Callback {
public:
    explicit FunctionTimer(std::function<bool(plat::Timer*)> body) : body(std::move(body)) {}
    bool timerExpired(plat::Timer* timer) override { return body(timer); }

private:
    std::function<bool(plat::Timer*)> body;
};

// Runs process() until it reports that no timer is pending or the turn limit is reached.
void runUntilIdle(plat::TimerManager& manager, int turns = 1000) {
    for (int turn = 0; turn < turns; ++turn) {
        int timeout = manager.process();
        if (timeout < 0)
            return;
        if (timeout > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(timeout));
    }
}

TEST(TimerOrder, EqualDelaysFireInStartOrder) {
    plat::TimerManager manager;
    std::vector<int> fired;
    FunctionTimer first([&](plat::Timer*) {
        fired.push_back(1);
        return false;
    });
    FunctionTimer second([&](plat::Timer*) {
        fired.push_back(2);
        return false;
    });
    FunctionTimer third([&](plat::Timer*) {
        fired.push_back(3);
        return false;
    });
    plat::Timer a(&first), b(&second), c(&third);
    a.start(0);
    b.start(0);
    c.start(0);
    runUntilIdle(manager);
    EXPECT_EQ(fired, (std::vector<int>{1, 2, 3}));
}

TEST(TimerOrder, StoppedTimerDoesNotFire) {
    plat::TimerManager manager;
    int fired = 0;
    FunctionTimer callback([&](plat::Timer*) {
        ++fired;
        return false;
    });
    plat::Timer timer(&callback);
    timer.start(0);
    EXPECT_TRUE(timer.isActive());
    timer.stop();
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(manager.process(), -1);
    EXPECT_EQ(fired, 0);
}

TEST(TimerOrder, TimerStoppedByAnEarlierCallbackOfTheSamePassDoesNotFire) {
    plat::TimerManager manager;
    int laterFired = 0;
    plat::Timer later;
    FunctionTimer stopper([&](plat::Timer*) {
        later.stop();
        return false;
    });
    FunctionTimer counter([&](plat::Timer*) {
        ++laterFired;
        return false;
    });
    plat::Timer first(&stopper);
    later.setCallback(&counter);
    first.start(0);
    later.start(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    manager.process();
    EXPECT_EQ(laterFired, 0);
}

TEST(TimerRepeat, RepeatsUntilTheCallbackDeclines) {
    plat::TimerManager manager;
    int fired = 0;
    FunctionTimer callback([&](plat::Timer*) { return ++fired < 3; });
    plat::Timer timer(&callback);
    timer.start(1);
    runUntilIdle(manager);
    EXPECT_EQ(fired, 3);
    EXPECT_FALSE(timer.isActive());
}

TEST(TimerRepeat, RestartInsideTheCallbackKeepsTheNewDelay) {
    plat::TimerManager manager;
    FunctionTimer callback([](plat::Timer* timer) {
        timer->start(60000);
        return true;
    });
    plat::Timer timer(&callback);
    timer.start(0);
    runUntilIdle(manager, 1);
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), 60000);
    EXPECT_GT(timer.remaining(), plat::Ticks(30000) * plat::TicksPerMillisecond);
}

TEST(TimerRepeat, OverrunningCallbackIsNotFollowedByABurst) {
    plat::TimerManager manager;
    int fired = 0;
    FunctionTimer callback([&](plat::Timer*) {
        if (++fired == 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
        return true;
    });
    plat::Timer timer(&callback);
    timer.start(200);
    while (fired == 0)
        runUntilIdle(manager, 1);
    manager.process();
    EXPECT_EQ(fired, 1);
    EXPECT_GT(timer.remaining(), 0);
}

TEST(TimerManagerNesting, SecondManagerNeedsTheNestedFlag) {
    plat::TimerManager outer;
    {
        plat::TimerManager inner(true);
        EXPECT_EQ(&plat::TimerManager::current(), &inner);
    }
    EXPECT_EQ(&plat::TimerManager::current(), &outer);
    EXPECT_DEATH(plat::TimerManager second, "Assertion 'nested \\|\\| !thrInst' failed");
}

TEST(TimerManagerNesting, StartingWithoutManagerIsAnAssertionFailure) {
    plat::Timer timer;
    EXPECT_DEATH(timer.start(10), "Assertion 'thrInst' failed");
}

TEST(TimerTimeout, NextTimeoutIsRoundedUpAndMinusOneWhenIdle) {
    plat::TimerManager manager;
    EXPECT_EQ(manager.nextTimeout(), -1);
    plat::Timer timer;
    timer.start(60000);
    int timeout = manager.nextTimeout();
    EXPECT_GT(timeout, 30000);
    EXPECT_LE(timeout, 60000);
    timer.stop();
    EXPECT_EQ(manager.nextTimeout(), -1);
}

} // namespace
