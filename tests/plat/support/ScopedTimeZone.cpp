// Temporary TZ settings for tests of local time.
#include "ScopedTimeZone.h"

#include <cstdlib>
#include <ctime>

namespace plattest {

ScopedTimeZone::ScopedTimeZone(const char* zone) {
    const char* current = std::getenv("TZ");
    hadZone = current != nullptr;
    if (hadZone)
        previousZone = current;
    setenv("TZ", zone, 1);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    if (hadZone)
        setenv("TZ", previousZone.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

} // namespace plattest
