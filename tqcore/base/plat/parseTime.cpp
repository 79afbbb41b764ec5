// A strict, hand-written ISO 8601 reader (no locale, no sign or blank skipping as strtol would do)
// and the build-date reader.
#include <plat/parseTime.h>

#include <plat/Exception.h>
#include <plat/date.h>

#include <cstdint>
#include <cstring>

namespace plat {

namespace {

constexpr int MaxFractionDigits = 12;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Reads minDigits to maxDigits decimal digits; a digit after them is left for the caller, whose
// next expectation (a separator or the end) then fails.
bool readNumber(const char*& p, int minDigits, int maxDigits, int& value) {
    int count = 0;
    value = 0;
    while (count < maxDigits && isDigit(p[count])) {
        value = value * 10 + (p[count] - '0');
        ++count;
    }
    if (count < minDigits)
        return false;
    p += count;
    return true;
}

bool expect(const char*& p, char c) {
    if (*p != c)
        return false;
    ++p;
    return true;
}

// Digits x 10^7 / 10^count in unsigned arithmetic: twelve nines times 10^7 passes the signed
// 64-bit range but not the unsigned one.
bool readFraction(const char*& p, Ticks& ticks) {
    std::uint64_t digits = 0;
    std::uint64_t scale = 1;
    int count = 0;
    for (; isDigit(*p); ++p, ++count) {
        if (count == MaxFractionDigits)
            return false;
        digits = digits * 10 + std::uint64_t(*p - '0');
        scale *= 10;
    }
    if (count == 0)
        return false;
    ticks = Ticks(digits * std::uint64_t(TicksPerSecond) / scale);
    return true;
}

// The zone's offset in seconds east of UTC.
bool readZone(const char* p, std::int64_t& offsetSeconds) {
    offsetSeconds = 0;
    if (*p == '\0')
        return true;
    if (p[0] == 'Z')
        return p[1] == '\0';
    if (*p != '+' && *p != '-')
        return false;
    int sign = *p++ == '+' ? 1 : -1;
    int hours = 0, minutes = 0;
    if (!readNumber(p, 2, 2, hours))
        return false;
    if (*p != '\0') {
        expect(p, ':');
        if (!readNumber(p, 2, 2, minutes) || *p != '\0')
            return false;
    }
    if (hours > 23 || minutes > 59 || (sign < 0 && hours == 0 && minutes == 0))
        return false;
    offsetSeconds = sign * (hours * 3600 + minutes * 60);
    return true;
}

bool readMonthName(const char*& p, int& month) {
    static const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int index = 0; index < 12; ++index) {
        if (std::strncmp(p, names[index], 3) == 0) {
            month = index + 1;
            p += 3;
            return true;
        }
    }
    return false;
}

// Skips a run of blanks; a required run must not be empty.
bool skipBlanks(const char*& p, bool required) {
    const char* start = p;
    while (isBlank(*p))
        ++p;
    return !required || p > start;
}

} // namespace

bool parseIso8601(const char* text, Ticks& result, std::nothrow_t) {
    result = 0;
    if (!text)
        return false;
    const char* p = text;
    int year, month, day, hour, minute, second;
    if (!readNumber(p, 1, 4, year) || !expect(p, '-') || !readNumber(p, 1, 2, month) ||
        !expect(p, '-') || !readNumber(p, 1, 2, day) || !expect(p, 'T') ||
        !readNumber(p, 2, 2, hour) || !expect(p, ':') || !readNumber(p, 2, 2, minute) ||
        !expect(p, ':') || !readNumber(p, 2, 2, second))
        return false;
    Ticks fraction = 0;
    if (expect(p, '.') && !readFraction(p, fraction))
        return false;
    std::int64_t offsetSeconds;
    Ticks ticks;
    if (year < 1 || !readZone(p, offsetSeconds) ||
        !makeTime(year, month, day, hour, minute, second, ticks, std::nothrow))
        return false;
    result = ticks + fraction - offsetSeconds * TicksPerSecond;
    return true;
}

Ticks parseIso8601(const char* text) {
    Ticks result;
    if (!parseIso8601(text, result, std::nothrow))
        throw ExceptionFmt("invalid date (%s)", text ? text : "");
    return result;
}

bool parseBuildDate(const char* text, int& year, int& month, int& day) {
    year = month = day = 0;
    if (!text)
        return false;
    const char* p = text;
    int parsedMonth, parsedDay, parsedYear;
    skipBlanks(p, false);
    if (!readMonthName(p, parsedMonth) || !skipBlanks(p, true) || !readNumber(p, 1, 2, parsedDay) ||
        !skipBlanks(p, true) || !readNumber(p, 1, 4, parsedYear))
        return false;
    skipBlanks(p, false);
    if (*p != '\0' || parsedDay < 1 || parsedDay > 31 || parsedYear < 1)
        return false;
    year = parsedYear;
    month = parsedMonth;
    day = parsedDay;
    return true;
}

} // namespace plat
