// The replaceable source behind monotonicNow() and the process-wide record of reported jumps.
#include <plat/TimeSource.h>

#include "support/FakeClock.h"

#include <gtest/gtest.h>

namespace {

using Jump = plat::TimeSource::Jump;

TEST(TimeSource, InstalledSourceIsReadAndTheSystemClockComesBack) {
    plat::Ticks systemBefore = plat::monotonicNow();
    {
        plattest::FakeClock clock(-12345);
        EXPECT_EQ(plat::monotonicNow(), -12345);
        clock.advanceMs(2);
        EXPECT_EQ(plat::monotonicNow(), -12345 + 2 * plat::TicksPerMillisecond);
        EXPECT_EQ(clock.readings(), 2);
    }
    EXPECT_GE(plat::monotonicNow(), systemBefore);
}

TEST(TimeSource, ReportedJumpsAreCountedWithTheirDirection) {
    plattest::FakeClock clock;
    std::uint64_t before = plat::timeJumps().count;
    plat::monotonicNow();
    EXPECT_EQ(plat::timeJumps().count, before);
    clock.jumpTo(100, Jump::Forwards);
    plat::monotonicNow();
    EXPECT_EQ(plat::timeJumps().count, before + 1);
    EXPECT_EQ(plat::timeJumps().latest, Jump::Forwards);
    clock.jumpTo(50, Jump::Backwards);
    EXPECT_EQ(plat::timeJumps().count, before + 1);
    plat::monotonicNow();
    EXPECT_EQ(plat::timeJumps().count, before + 2);
    EXPECT_EQ(plat::timeJumps().latest, Jump::Backwards);
}

TEST(TimeSource, SystemClockNeverReportsAJump) {
    Jump jump = Jump::Forwards;
    plat::systemMonotonicClock().read(jump);
    EXPECT_EQ(jump, Jump::None);
}

} // namespace
