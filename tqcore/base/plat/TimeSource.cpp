// monotonicNow() through the installed time source, and the process-wide record of reported jumps.
#include <plat/TimeSource.h>

#include <atomic>

namespace plat {

namespace {

std::atomic<TimeSource*> installedSource{nullptr};

// The count of jumps shifted left by one, with the direction of the latest in the lowest bit, so
// that count and direction are read and written together.
std::atomic<std::uint64_t> jumpRecord{0};
constexpr std::uint64_t BackwardsBit = 1;

void recordJump(TimeSource::Jump jump) {
    std::uint64_t direction = jump == TimeSource::Jump::Backwards ? BackwardsBit : 0;
    std::uint64_t seen = jumpRecord.load();
    while (!jumpRecord.compare_exchange_weak(seen, ((seen >> 1) + 1) << 1 | direction)) {
    }
}

} // namespace

TimeSource* setTimeSource(TimeSource* source) {
    return installedSource.exchange(source);
}

Ticks monotonicNow() {
    TimeSource* source = installedSource.load();
    TimeSource::Jump jump = TimeSource::Jump::None;
    Ticks reading = (source ? *source : systemMonotonicClock()).read(jump);
    if (jump != TimeSource::Jump::None)
        recordJump(jump);
    return reading;
}

TimeJumps timeJumps() {
    std::uint64_t record = jumpRecord.load();
    if (record == 0)
        return {0, TimeSource::Jump::None};
    return {record >> 1,
            (record & BackwardsBit) ? TimeSource::Jump::Backwards : TimeSource::Jump::Forwards};
}

} // namespace plat
