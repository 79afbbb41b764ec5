// The replaceable source behind monotonicNow() and the process-wide record of reported jumps.
#include <plat/TimeSource.h>

#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using Jump = plat::TimeSource::Jump;

TEST(TimeSource, InstalledSourceIsReadAndTheSystemClockComesBack) {
    plat::Ticks systemBefore = plat::monotonicNow();
    {
        plattest::FakeClock clock(-12345);
        EXPECT_EQ(plat::monotonicNow(), -12345);
        clock.advanceMs(2);
        EXPECT_EQ(plat::monotonicNow(), -12345 + 2 * plat::TicksPerMillisecond);
    }
    EXPECT_GE(plat::monotonicNow(), systemBefore);
}

TEST(TimeSource, ReportedJumpsAreCountedWithTheirDirection) {
    plattest::FakeClock clock;
    std::uint64_t before = plat::timeJumps().count;
    // Jumps are recorded only once a reading reports them.
    auto jumpsAfterReading = [&] {
        plat::monotonicNow();
        return std::pair(plat::timeJumps().count - before, plat::timeJumps().latest);
    };
    clock.jumpTo(100, Jump::Forwards);
    EXPECT_EQ(jumpsAfterReading(), std::pair(std::uint64_t(1), Jump::Forwards));
    clock.jumpTo(50, Jump::Backwards);
    EXPECT_EQ(plat::timeJumps().count, before + 1);
    EXPECT_EQ(jumpsAfterReading(), std::pair(std::uint64_t(2), Jump::Backwards));
    EXPECT_EQ(jumpsAfterReading().first, 2u);
}

TEST(TimeSource, SystemClockNeverReportsAJump) {
    Jump jump = Jump::Forwards;
    plat::systemMonotonicClock().read(jump);
    EXPECT_EQ(jump, Jump::None);
}

} // namespace
