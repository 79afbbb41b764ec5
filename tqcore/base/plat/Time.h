// The time representation of the foundation: signed 64-bit counts of 100-nanosecond ticks.
// Wall-clock ticks count from 1601-01-01 00:00:00 UTC; monotonic ticks from the first monotonic
// reading in the process.
#pragma once

#include <cstdint>

namespace plat {

using Ticks = std::int64_t;

constexpr Ticks TicksPerMillisecond = 10'000;
constexpr Ticks TicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to the Unix epoch.
constexpr std::int64_t UnixEpochOffsetSeconds = 11'644'473'600;

// Wall-clock ticks from the system's time of day (microsecond resolution).
Ticks now();
// Monotonic ticks, read through the installed time source (plat/TimeSource.h); the process's
// monotonic clock counts from its first reading.
Ticks monotonicNow();
// Wall-clock ticks for Unix seconds, saturating at the 64-bit limits.
Ticks ticksFromUnixSeconds(std::int64_t seconds);
// Unix seconds for wall-clock ticks, rounded towards the past.
std::int64_t unixSecondsFromTicks(Ticks ticks);

} // namespace plat
