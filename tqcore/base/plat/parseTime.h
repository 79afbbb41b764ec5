// Reading dates: ISO 8601 time stamps into ticks, and the compiler's build date.
#pragma once

#include <plat/Time.h>

#include <new>

namespace plat {

// "YYYY-MM-DDThh:mm:ss" with an optional fraction of up to 12 digits after a full stop and an
// optional zone: "Z", or a sign with "hh:mm", "hhmm" or "hh" (a minus sign needs a non-zero
// offset); no zone means UTC. Year 1 to 9999 with up to four digits, month and day with one or
// two, hours, minutes and seconds with exactly two; the date must be valid. The throwing form
// raises plat::Exception "invalid date (%s)".
Ticks parseIso8601(const char* text);
bool parseIso8601(const char* text, Ticks& result, std::nothrow_t);

// The compiler's build-date form "Mmm dd yyyy": an English three-letter month, the day (1 to 31)
// and the year (1 to 9999), separated by runs of blanks.
bool parseBuildDate(const char* text, int& year, int& month, int& day);

} // namespace plat
