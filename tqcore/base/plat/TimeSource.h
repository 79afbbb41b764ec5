// The replaceable source behind monotonicNow(), so that tests and special environments can supply
// their own clock, and the record of time jumps that sources report for the timer managers.
#pragma once

#include <plat/Time.h>

#include <cstdint>

namespace plat {

class TimeSource {
public:
    enum class Jump { None, Forwards, Backwards };

    virtual ~TimeSource() = default;
    // Monotonic ticks; jump receives the discontinuity found while reading, None without one.
    virtual Ticks read(Jump& jump) = 0;
};

// The process's monotonic clock: the coarse clock when it resolves 1 ms or finer, else the
// ordinary one; tick 0 is its first reading. It never reports a jump.
TimeSource& systemMonotonicClock();

// Installs the source that monotonicNow() reads (null: the system's monotonic clock) and returns
// the previous one (null when it was the system's). The caller keeps the source alive while it
// is installed.
TimeSource* setTimeSource(TimeSource* source);

// Every jump a source reported, counted in the whole process, and the direction of the latest
// (None before the first); a reader compares counts to find out whether time jumped since it
// last looked.
struct TimeJumps {
    std::uint64_t count;
    TimeSource::Jump latest;
};
TimeJumps timeJumps();

} // namespace plat
