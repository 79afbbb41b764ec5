// Sets TZ for the test process (and calls tzset) until the object ends, then restores it.
#pragma once

#include <string>

namespace plattest {

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    bool hadZone;
    std::string previousZone;
};

} // namespace plattest
