// Day counting over whole 400-year cycles of the Gregorian calendar, which repeat exactly
// (146097 days), so that any year in range is reduced to a year inside one cycle.
#include <plat/date.h>

#include <plat/Exception.h>

#include <cstring>
#include <limits>

namespace plat {

namespace {

constexpr std::int64_t DaysPer400Years = 146'097;
constexpr std::int64_t SecondsPerDay = 86'400;
constexpr std::int64_t YearLimit = 1'000'000;
// Days from 0000-03-01 (the start of the cycle arithmetic below) to 1601-01-01.
constexpr std::int64_t DaysTo1601 = 584'694;

std::int64_t floorDivide(std::int64_t value, std::int64_t divisor) {
    std::int64_t quotient = value / divisor;
    return (value % divisor < 0) ? quotient - 1 : quotient;
}

std::int64_t floorModulo(std::int64_t value, std::int64_t divisor) {
    return value - floorDivide(value, divisor) * divisor;
}

// Days since 1601-01-01. Years start in March inside the cycle, so that the leap day is the last
// day of its year and the month lengths before it do not depend on the year.
std::int64_t daysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2;
    std::int64_t cycle = floorDivide(year, 400);
    std::int64_t yearOfCycle = year - cycle * 400;
    std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    std::int64_t dayOfCycle = yearOfCycle * 365 + yearOfCycle / 4 - yearOfCycle / 100 + dayOfYear;
    return cycle * DaysPer400Years + dayOfCycle - DaysTo1601;
}

struct CivilDate {
    std::int64_t year;
    int month;
    int day;
    int dayOfYear; // from 0, counted from 1 January
};

CivilDate civilFromDays(std::int64_t daysSince1601) {
    std::int64_t days = daysSince1601 + DaysTo1601;
    std::int64_t cycle = floorDivide(days, DaysPer400Years);
    std::int64_t dayOfCycle = days - cycle * DaysPer400Years;
    std::int64_t yearOfCycle =
        (dayOfCycle - dayOfCycle / 1460 + dayOfCycle / 36524 - dayOfCycle / 146096) / 365;
    std::int64_t dayOfMarchYear =
        dayOfCycle - (365 * yearOfCycle + yearOfCycle / 4 - yearOfCycle / 100);
    int shiftedMonth = int((5 * dayOfMarchYear + 2) / 153);
    CivilDate date;
    date.day = int(dayOfMarchYear - (153 * shiftedMonth + 2) / 5 + 1);
    date.month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    date.year = yearOfCycle + cycle * 400 + (date.month <= 2);
    date.dayOfYear =
        int(daysFromCivil(date.year, date.month, date.day) - daysFromCivil(date.year, 1, 1));
    return date;
}

} // namespace

bool isLeapYear(std::int64_t year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysInMonth(std::int64_t year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

bool isValidDate(std::int64_t year, int month, int day, int hour, int minute, int second) {
    return month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month) && hour >= 0 &&
           hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 61;
}

bool makeTime(std::int64_t year, int month, int day, int hour, int minute, int second,
              Ticks& result, std::nothrow_t) {
    result = 0;
    if (year < -YearLimit || year > YearLimit ||
        !isValidDate(year, month, day, hour, minute, second))
        return false;
    std::int64_t seconds =
        daysFromCivil(year, month, day) * SecondsPerDay + hour * 3600 + minute * 60 + second;
    constexpr std::int64_t limit = std::numeric_limits<Ticks>::max() / TicksPerSecond;
    if (seconds > limit || seconds < -limit)
        return false;
    result = seconds * TicksPerSecond;
    return true;
}

Ticks makeTime(std::int64_t year, int month, int day, int hour, int minute, int second) {
    Ticks result;
    if (!makeTime(year, month, day, hour, minute, second, result, std::nothrow))
        throw ExceptionFmt("invalid date (%04lld-%02d-%02dT%02d:%02d:%02d)", (long long)year, month,
                           day, hour, minute, second);
    return result;
}

bool fromTm(const std::tm& broken, Ticks& result, std::nothrow_t) {
    return makeTime(std::int64_t(broken.tm_year) + 1900, broken.tm_mon + 1, broken.tm_mday,
                    broken.tm_hour, broken.tm_min, broken.tm_sec, result, std::nothrow);
}

Ticks fromTm(const std::tm& broken) {
    return makeTime(std::int64_t(broken.tm_year) + 1900, broken.tm_mon + 1, broken.tm_mday,
                    broken.tm_hour, broken.tm_min, broken.tm_sec);
}

std::tm toUtc(Ticks ticks) {
    std::int64_t seconds = floorDivide(ticks, TicksPerSecond);
    std::int64_t days = floorDivide(seconds, SecondsPerDay);
    int secondOfDay = int(seconds - days * SecondsPerDay);
    CivilDate date = civilFromDays(days);
    std::tm broken;
    std::memset(&broken, 0, sizeof broken);
    broken.tm_year = int(date.year - 1900);
    broken.tm_mon = date.month - 1;
    broken.tm_mday = date.day;
    broken.tm_hour = secondOfDay / 3600;
    broken.tm_min = secondOfDay / 60 % 60;
    broken.tm_sec = secondOfDay % 60;
    // 1601-01-01 was a Monday.
    broken.tm_wday = int(floorModulo(days + 1, 7));
    broken.tm_yday = date.dayOfYear;
    broken.tm_zone = "GMT";
    return broken;
}

bool toLocal(Ticks ticks, std::tm& result) {
    std::memset(&result, 0, sizeof result);
    time_t seconds = time_t(unixSecondsFromTicks(ticks));
    return localtime_r(&seconds, &result) != nullptr;
}

} // namespace plat
