// A time source for tests: monotonic ticks that move only when the test says so, and that can
// report a jump with the next reading. Installed for the lifetime of the object.
#pragma once

#include <plat/TimeSource.h>

namespace plattest {

class FakeClock : public plat::TimeSource {
public:
    explicit FakeClock(plat::Ticks start = 0)
        : current(start), previous(plat::setTimeSource(this)) {}
    ~FakeClock() override { plat::setTimeSource(previous); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    plat::Ticks read(Jump& jump) override {
        jump = pendingJump;
        pendingJump = Jump::None;
        return current;
    }

    void advanceMs(long long milliseconds) { current += milliseconds * plat::TicksPerMillisecond; }
    void setTicks(plat::Ticks ticks) { current = ticks; }
    // Moves the clock and makes the next reading report the jump.
    void jumpTo(plat::Ticks ticks, Jump direction) {
        current = ticks;
        pendingJump = direction;
    }

    plat::Ticks ticks() const { return current; }

private:
    plat::Ticks current;
    Jump pendingJump = Jump::None;
    plat::TimeSource* previous;
};

} // namespace plattest
