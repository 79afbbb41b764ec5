// Calendar arithmetic on wall-clock ticks: the proleptic Gregorian calendar (also before 1582),
// dates to ticks and back, in UTC and in the C library's local time.
#pragma once

#include <plat/Time.h>

#include <cstdint>
#include <ctime>
#include <new>

namespace plat {

// Divisible by 4, and not by 100 unless by 400.
bool isLeapYear(std::int64_t year);
// 0 for a month outside 1 to 12.
int daysInMonth(std::int64_t year, int month);

// Month 1 to 12, day 1 to the days in that month, hour 0 to 23, minute 0 to 59, second 0 to 60
// (a leap second counts as the first second of the next minute). The year is not checked.
bool isValidDate(std::int64_t year, int month, int day, int hour, int minute, int second);

// Ticks for a UTC date with the year within +-1,000,000. Fails when the date is invalid or its
// ticks leave the 64-bit range; the throwing form raises plat::Exception
// "invalid date (%04d-%02d-%02dT%02d:%02d:%02d)".
Ticks makeTime(std::int64_t year, int month, int day, int hour, int minute, int second);
bool makeTime(std::int64_t year, int month, int day, int hour, int minute, int second,
              Ticks& result, std::nothrow_t);

// The same for a broken-down UTC time (tm_year counts from 1900, tm_mon from 0).
Ticks fromTm(const std::tm& broken);
bool fromTm(const std::tm& broken, Ticks& result, std::nothrow_t);

// Broken-down UTC time, weekday and day of the year included; every tick value fits.
std::tm toUtc(Ticks ticks);
// Broken-down local time through the C library (TZ rules, tm_gmtoff set); false when the C
// library cannot express the time.
bool toLocal(Ticks ticks, std::tm& result);

} // namespace plat
