// Timers on a clock that only the test moves: ordering, repetition and catch-up, time-outs, and
// restarting after time jumps.
#include <plat/Timer.h>

#include "support/FakeClock.h"

#include <plat/Exception.h>
#include <plat/Log.h>

#include <support/LogCapture.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <vector>

namespace {

using plat::Ticks;
using plat::TicksPerMillisecond;
using Jump = plat::TimeSource::Jump;

struct FunctionTimer : plat::Timer::Callback {
    explicit FunctionTimer(std::function<bool(plat::Timer*)> body) : body(std::move(body)) {}
    bool timerExpired(plat::Timer* timer) override { return body(timer); }
    std::function<bool(plat::Timer*)> body;
};

// A timer that records its label in a shared list each time it fires.
struct LabelledTimer {
    LabelledTimer(std::vector<int>& fired, int label)
        : callback([&fired, label](plat::Timer*) {
              fired.push_back(label);
              return false;
          }),
          timer(&callback) {}

    FunctionTimer callback;
    plat::Timer timer;
};

class TimerTest : public ::testing::Test {
protected:
    plattest::FakeClock clock{1000 * TicksPerMillisecond};
    plat::TimerManager manager;
};

TEST_F(TimerTest, ProcessRunsOnlyDueTimersAndReportsIdleWaitingOrWork) {
    std::vector<int> fired;
    LabelledTimer due(fired, 1), notYet(fired, 2), stopped(fired, 3);
    due.timer.start(10);
    notYet.timer.start(11);
    stopped.timer.start(0);
    stopped.timer.stop();
    EXPECT_EQ(manager.process(), 10);
    clock.advanceMs(10);
    EXPECT_EQ(manager.process(), 0);
    EXPECT_EQ(fired, std::vector<int>{1});
    clock.advanceMs(1);
    EXPECT_EQ(manager.process(), 0);
    EXPECT_EQ(manager.process(), -1);
    EXPECT_EQ(fired, (std::vector<int>{1, 2}));
}

// Earlier due times fire first whatever the start order, equal ones in start order.
TEST_F(TimerTest, ManyTimersDueAtOnceFireInDueThenStartOrder) {
    std::vector<int> fired, expected;
    std::vector<std::unique_ptr<LabelledTimer>> timers;
    for (int label = 0; label < 100; ++label) {
        timers.push_back(std::make_unique<LabelledTimer>(fired, label));
        timers.back()->timer.start(label % 3);
        expected.push_back(label);
    }
    std::stable_sort(expected.begin(), expected.end(), [](int a, int b) { return a % 3 < b % 3; });
    clock.advanceMs(5);
    manager.process();
    EXPECT_EQ(fired, expected);
}

TEST_F(TimerTest, TimersStoppedOrDestroyedByAnEarlierCallbackOfTheSamePassDoNotFire) {
    std::vector<int> fired;
    LabelledTimer stopped(fired, 2), last(fired, 4);
    auto destroyed = std::make_unique<LabelledTimer>(fired, 3);
    FunctionTimer intruder([&](plat::Timer*) {
        stopped.timer.stop();
        destroyed.reset();
        return false;
    });
    plat::Timer first(&intruder);
    first.start(0);
    stopped.timer.start(0);
    destroyed->timer.start(0);
    last.timer.start(0);
    manager.process();
    EXPECT_EQ(fired, std::vector<int>{4});
    EXPECT_EQ(manager.process(), -1);
}

TEST_F(TimerTest, RepeatsOnItsCadenceEvenWhenProcessedLateUntilTheCallbackDeclines) {
    int fired = 0;
    FunctionTimer callback([&](plat::Timer*) { return ++fired < 3; });
    plat::Timer timer(&callback);
    timer.start(100);
    clock.advanceMs(130);
    manager.process();
    EXPECT_EQ(timer.remaining(), 70 * TicksPerMillisecond);
    for (int turn = 0; turn < 10; ++turn) {
        clock.advanceMs(100);
        manager.process();
    }
    EXPECT_EQ(fired, 3);
    EXPECT_FALSE(timer.isActive());
}

TEST_F(TimerTest, NextTimeoutIsRoundedUpClampedToIntAndMinusOneWhenIdle) {
    plat::Timer timer, distant;
    timer.start(2);
    clock.setTicks(clock.ticks() + 2 * TicksPerMillisecond - 1);
    EXPECT_EQ(manager.nextTimeout(), 1);
    clock.setTicks(clock.ticks() + 1);
    EXPECT_EQ(manager.nextTimeout(), 0);
    clock.advanceMs(5);
    EXPECT_EQ(manager.nextTimeout(), 0);
    timer.stop();
    distant.start(INT_MAX);
    clock.advanceMs(-1000);
    EXPECT_EQ(manager.nextTimeout(), INT_MAX);
    distant.stop();
    EXPECT_EQ(manager.nextTimeout(), -1);
}

TEST_F(TimerTest, CallbackExceptionLeavesTheRestQueuedForTheNextPass) {
    std::vector<int> fired;
    FunctionTimer thrower([](plat::Timer*) -> bool { throw plat::Exception("callback failed"); });
    plat::Timer failing(&thrower);
    LabelledTimer survivor(fired, 2);
    failing.start(0);
    survivor.timer.start(0);
    EXPECT_THROW(manager.process(), plat::Exception);
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(manager.process(), 0);
    EXPECT_EQ(fired, std::vector<int>{2});
}

class TimerJumpTest : public TimerTest {
protected:
    testsupport::LogCapture log{"TimerManager:stderr:30"};
};

TEST_F(TimerJumpTest, ForwardJumpRestartsTimersInsteadOfFiringThem) {
    std::vector<int> fired;
    LabelledTimer timer(fired, 1);
    timer.timer.start(1000);
    clock.jumpTo(clock.ticks() + 3600 * 1000 * TicksPerMillisecond, Jump::Forwards);
    EXPECT_EQ(manager.process(), 1000);
    EXPECT_TRUE(log.contains("TimerManager: Time has jumped forwards - restarting timers"))
        << log.text();
    clock.advanceMs(1000);
    manager.process();
    EXPECT_EQ(fired, std::vector<int>{1});
}

// A pending jump makes the time-out zero so that the event loop calls process() at once.
TEST_F(TimerJumpTest, BackwardJumpDoesNotPostponeTimers) {
    plat::Timer shortTimer, longTimer;
    longTimer.start(5000);
    shortTimer.start(100);
    clock.jumpTo(0, Jump::Backwards);
    EXPECT_EQ(manager.nextTimeout(), 0);
    EXPECT_EQ(manager.process(), 100);
    EXPECT_TRUE(log.contains("TimerManager: Time has moved backwards - restarting timers"))
        << log.text();
    EXPECT_EQ(longTimer.remaining(), 5000 * TicksPerMillisecond);
}

} // namespace
