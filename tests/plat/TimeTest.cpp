// Clock readings and conversions between Unix seconds and ticks, including saturation at the
// ends of the 64-bit range.
#include <plat/Time.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>

namespace {

using plat::Ticks;
using plat::TicksPerSecond;

constexpr std::int64_t LastSecond = INT64_MAX / TicksPerSecond;

TEST(TicksFromUnixSeconds, CountsFrom1601AndSaturatesAtTheLimits) {
    EXPECT_EQ(plat::ticksFromUnixSeconds(-plat::UnixEpochOffsetSeconds), 0);
    EXPECT_EQ(plat::ticksFromUnixSeconds(INT64_MAX), INT64_MAX);
    EXPECT_EQ(plat::ticksFromUnixSeconds(INT64_MIN), INT64_MIN);
    std::int64_t lastUnixSecond = LastSecond - plat::UnixEpochOffsetSeconds;
    EXPECT_EQ(plat::ticksFromUnixSeconds(lastUnixSecond), LastSecond * TicksPerSecond);
    EXPECT_EQ(plat::ticksFromUnixSeconds(lastUnixSecond + 1), INT64_MAX);
    std::int64_t firstUnixSecond = -LastSecond - plat::UnixEpochOffsetSeconds;
    EXPECT_EQ(plat::ticksFromUnixSeconds(firstUnixSecond), -LastSecond * TicksPerSecond);
    EXPECT_EQ(plat::ticksFromUnixSeconds(firstUnixSecond - 1), INT64_MIN);
}

TEST(UnixSecondsFromTicks, RoundsTowardsThePast) {
    Ticks epoch = plat::ticksFromUnixSeconds(0);
    EXPECT_EQ(plat::unixSecondsFromTicks(epoch), 0);
    EXPECT_EQ(plat::unixSecondsFromTicks(epoch + TicksPerSecond - 1), 0);
    EXPECT_EQ(plat::unixSecondsFromTicks(epoch - 1), -1);
    EXPECT_EQ(plat::unixSecondsFromTicks(-1), -plat::UnixEpochOffsetSeconds - 1);
    EXPECT_EQ(plat::unixSecondsFromTicks(INT64_MIN),
              -LastSecond - 1 - plat::UnixEpochOffsetSeconds);
}

TEST(Now, LiesBetweenTwoReadingsOfTheRealTimeClock) {
    timespec before, after;
    clock_gettime(CLOCK_REALTIME, &before);
    Ticks now = plat::now();
    clock_gettime(CLOCK_REALTIME, &after);
    EXPECT_GE(now, plat::ticksFromUnixSeconds(before.tv_sec) + before.tv_nsec / 1000 * 10);
    EXPECT_LE(now, plat::ticksFromUnixSeconds(after.tv_sec) + after.tv_nsec / 100);
}

} // namespace
