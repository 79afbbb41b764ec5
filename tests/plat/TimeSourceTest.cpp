// The process-wide record of the time jumps that the source behind monotonicNow() reports.
#include <plat/TimeSource.h>

#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using Jump = plat::TimeSource::Jump;

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

} // namespace
