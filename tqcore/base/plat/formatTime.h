// Text forms of wall-clock ticks: ISO 8601 in UTC or local time, and strftime formats with
// years of any width. A time whose year cannot be expressed gives "<date error>".
#pragma once

#include <plat/DString.h>
#include <plat/Time.h>

#include <ctime>

namespace plat {

// "%04d-%02d-%02dT%02d:%02d:%02d", ".%03d" with milliseconds, then "Z".
DString formatUtc(Ticks ticks, bool withMillis);
// The same fields in local time followed by the offset from UTC as "%c%02d:%02d" ('+' for UTC
// and east of it).
DString formatLocal(Ticks ticks, bool withMillis);
// strftime, with every "%Y" written as "%04d" so that years below 1000 keep four digits.
DString formatTm(const char* format, const std::tm& broken);

} // namespace plat
