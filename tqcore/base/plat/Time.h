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

// Wall-clock ticks from the system's time of day.
Ticks now();
// Monotonic ticks since the first call.
Ticks monotonicNow();
// Wall-clock ticks for Unix seconds, saturating at the 64-bit limits.
Ticks ticksFromUnixSeconds(std::int64_t seconds);

} // namespace plat
