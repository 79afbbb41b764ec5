// The test time source.
#include "FakeClock.h"

namespace plattest {

FakeClock::FakeClock(plat::Ticks start) : current(start), previous(plat::setTimeSource(this)) {}

FakeClock::~FakeClock() {
    plat::setTimeSource(previous);
}

plat::Ticks FakeClock::read(Jump& jump) {
    ++readCount;
    jump = pendingJump;
    pendingJump = Jump::None;
    return current;
}

void FakeClock::advanceMs(long long milliseconds) {
    current += milliseconds * plat::TicksPerMillisecond;
}

void FakeClock::jumpTo(plat::Ticks ticks, Jump direction) {
    current = ticks;
    pendingJump = direction;
}

} // namespace plattest
