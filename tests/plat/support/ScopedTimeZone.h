// Sets TZ for the test process (and calls tzset) until the object ends, then restores it.
#pragma once

#include <support/EnvironmentChange.h>

#include <ctime>
#include <optional>

namespace plattest {

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) : change(std::in_place, "TZ", zone) { tzset(); }
    // The old TZ must be back before tzset reads it.
    ~ScopedTimeZone() {
        change.reset();
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<testsupport::EnvironmentChange> change;
};

} // namespace plattest
