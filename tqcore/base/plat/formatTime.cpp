// ISO 8601 and strftime texts for ticks.
#include <plat/formatTime.h>

#include <plat/Exception.h>
#include <plat/date.h>

#include <climits>
#include <cstring>
#include <string>

namespace plat {

namespace {

const char* const DateError = "<date error>";
constexpr std::size_t FirstBufferSize = 16;
constexpr std::size_t LargestBufferSize = 1024;

int millisecondsOf(Ticks ticks) {
    Ticks withinSecond = ticks % TicksPerSecond;
    if (withinSecond < 0)
        withinSecond += TicksPerSecond;
    return int(withinSecond / TicksPerMillisecond);
}

// Every tick value has a year that fits, but a caller's broken-down time may not.
bool yearIsPrintable(const std::tm& broken) {
    return broken.tm_year <= INT_MAX - 1900;
}

void appendFields(DString& text, const std::tm& broken, Ticks ticks, bool withMillis) {
    text.appendf("%04d-%02d-%02dT%02d:%02d:%02d", broken.tm_year + 1900, broken.tm_mon + 1,
                 broken.tm_mday, broken.tm_hour, broken.tm_min, broken.tm_sec);
    if (withMillis)
        text.appendf(".%03d", millisecondsOf(ticks));
}

void appendOffset(DString& text, long offSecs) {
    // The failure report quotes the condition as written.
    // clang-format off
    PLAT_ASSERT(offSecs < 365*86400 && offSecs > -365*86400);
    // clang-format on
    char sign = offSecs >= 0 ? '+' : '-';
    long magnitude = offSecs >= 0 ? offSecs : -offSecs;
    text.appendf("%c%02ld:%02ld", sign, magnitude / 3600, magnitude / 60 % 60);
}

// A "%%" pair is a literal percent sign, so the "%Y" scan steps over it.
std::string expandYear(const char* format, const std::tm& broken) {
    std::string expanded;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 'Y') {
            char year[16];
            std::snprintf(year, sizeof year, "%04d", broken.tm_year + 1900);
            expanded += year;
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            expanded += "%%";
            ++p;
        } else {
            expanded += *p;
        }
    }
    return expanded;
}

} // namespace

DString formatUtc(Ticks ticks, bool withMillis) {
    DString text("");
    appendFields(text, toUtc(ticks), ticks, withMillis);
    text.append("Z");
    return text;
}

DString formatLocal(Ticks ticks, bool withMillis) {
    std::tm broken;
    if (!toLocal(ticks, broken))
        return DString(DateError);
    DString text("");
    appendFields(text, broken, ticks, withMillis);
    appendOffset(text, broken.tm_gmtoff);
    return text;
}

DString formatTm(const char* format, const std::tm& broken) {
    if (!yearIsPrintable(broken))
        return DString(DateError);
    // strftime returns 0 both for a full buffer and for an empty result; the trailing blank makes
    // every result at least one byte long, so 0 always means the buffer was too small.
    std::string expanded = expandYear(format, broken) + " ";
    for (std::size_t size = FirstBufferSize; size <= LargestBufferSize; size *= 2) {
        DString text;
        text.reserve(int(size));
        std::size_t length = std::strftime(text.data(), size, expanded.c_str(), &broken);
        if (length > 0) {
            text.truncate(int(length) - 1);
            return text;
        }
    }
    return DString(DateError);
}

} // namespace plat
