// Clock readings on POSIX systems.
#include <plat/Time.h>

#include <plat/Exception.h>
#include <plat/TimeSource.h>

#include <limits>
#include <sys/time.h>
#include <time.h>

namespace plat {

namespace {

clockid_t chooseMonotonicClock() {
    struct timespec resolution;
    if (clock_getres(CLOCK_MONOTONIC_COARSE, &resolution) == 0 && resolution.tv_sec == 0 &&
        resolution.tv_nsec <= 1'000'000) {
        struct timespec reading;
        if (clock_gettime(CLOCK_MONOTONIC_COARSE, &reading) == 0)
            return CLOCK_MONOTONIC_COARSE;
    }
    return CLOCK_MONOTONIC;
}

Ticks readClock(clockid_t clock) {
    struct timespec reading;
    bool gotMonoTime = clock_gettime(clock, &reading) == 0;
    PLAT_ASSERT(gotMonoTime);
    return Ticks(reading.tv_sec) * TicksPerSecond + reading.tv_nsec / 100;
}

class SystemMonotonicClock : public TimeSource {
public:
    Ticks read(Jump& jump) override {
        jump = Jump::None;
        return readClock(clock) - start;
    }

private:
    const clockid_t clock = chooseMonotonicClock();
    const Ticks start = readClock(clock);
};

} // namespace

Ticks ticksFromUnixSeconds(std::int64_t seconds) {
    constexpr std::int64_t limit = std::numeric_limits<Ticks>::max() / TicksPerSecond;
    // Compared before adding: the sum itself could overflow for seconds near the limit.
    if (seconds > limit - UnixEpochOffsetSeconds)
        return std::numeric_limits<Ticks>::max();
    std::int64_t sinceEpoch1601 = seconds + UnixEpochOffsetSeconds;
    if (sinceEpoch1601 < -limit)
        return std::numeric_limits<Ticks>::min();
    return sinceEpoch1601 * TicksPerSecond;
}

std::int64_t unixSecondsFromTicks(Ticks ticks) {
    std::int64_t seconds = ticks / TicksPerSecond;
    if (ticks % TicksPerSecond < 0)
        --seconds;
    return seconds - UnixEpochOffsetSeconds;
}

Ticks now() {
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    return ticksFromUnixSeconds(tv.tv_sec) + Ticks(tv.tv_usec) * 10;
}

TimeSource& systemMonotonicClock() {
    // Never destroyed: static objects may still read the clock while the process exits.
    static SystemMonotonicClock* clock = new SystemMonotonicClock;
    return *clock;
}

} // namespace plat
