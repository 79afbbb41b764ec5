// A time source for tests: monotonic ticks that move only when the test says so, and that can
// report a jump with the next reading. Installed for the lifetime of the object.
#pragma once

#include <plat/TimeSource.h>

namespace plattest {

class FakeClock : public plat::TimeSource {
public:
    explicit FakeClock(plat::Ticks start = 0);
    ~FakeClock() override;

    plat::Ticks read(Jump& jump) override;

    void advanceMs(long long milliseconds);
    void setTicks(plat::Ticks ticks) { current = ticks; }
    // Moves the clock and makes the next reading report the jump.
    void jumpTo(plat::Ticks ticks, Jump direction);

    plat::Ticks ticks() const { return current; }
    int readings() const { return readCount; }

private:
    plat::Ticks current;
    Jump pendingJump = Jump::None;
    int readCount = 0;
    plat::TimeSource* previous;
};

} // namespace plattest
