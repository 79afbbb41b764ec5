// Text forms of ticks: ISO 8601 in UTC and local time with zone offsets, and strftime formats.
#include <plat/formatTime.h>

#include "support/ScopedTimeZone.h"

#include <plat/date.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>

namespace {

using plat::Ticks;

const Ticks HalfPastNoon =
    plat::makeTime(2024, 1, 15, 12, 30, 45) + 123 * plat::TicksPerMillisecond;
const Ticks SummerNoon = plat::makeTime(2024, 7, 15, 12, 0, 0);

TEST(FormatUtc, WritesFourDigitYearsAndMillisecondsCountingForwardsBefore1601) {
    EXPECT_STREQ(plat::formatUtc(HalfPastNoon, false).c_str(), "2024-01-15T12:30:45Z");
    EXPECT_STREQ(plat::formatUtc(HalfPastNoon, true).c_str(), "2024-01-15T12:30:45.123Z");
    EXPECT_STREQ(plat::formatUtc(plat::makeTime(5, 3, 4, 1, 2, 3), false).c_str(),
                 "0005-03-04T01:02:03Z");
    EXPECT_STREQ(plat::formatUtc(-plat::TicksPerMillisecond, true).c_str(),
                 "1600-12-31T23:59:59.999Z");
}

TEST(FormatLocal, EndsWithTheSignedOffsetOfTheZoneAtThatTime) {
    using Case = std::tuple<const char*, Ticks, bool, const char*>;
    for (auto [timeZone, ticks, milliseconds, text] :
         {Case{"UTC", HalfPastNoon, true, "2024-01-15T12:30:45.123+00:00"},
          Case{"CET-1CEST,M3.5.0,M10.5.0/3", SummerNoon, false, "2024-07-15T14:00:00+02:00"},
          Case{"EST5EDT", SummerNoon, true, "2024-07-15T08:00:00.000-04:00"},
          Case{"NST3:30", SummerNoon, false, "2024-07-15T08:30:00-03:30"}}) {
        plattest::ScopedTimeZone zone(timeZone);
        EXPECT_STREQ(plat::formatLocal(ticks, milliseconds).c_str(), text) << timeZone;
    }
}

TEST(FormatTm, YearAlwaysHasFourDigitsButAPercentPairIsNotAYear) {
    std::tm broken = plat::toUtc(plat::makeTime(987, 6, 5, 4, 3, 2));
    EXPECT_STREQ(plat::formatTm("%Y/%m/%d %H:%M", broken).c_str(), "0987/06/05 04:03");
    EXPECT_STREQ(plat::formatTm("%%Y=%Y%Y", broken).c_str(), "%Y=09870987");
}

TEST(FormatTm, ResultsBeyondTheLargestBufferOrTheTmRangeAreADateError) {
    std::tm broken = plat::toUtc(HalfPastNoon);
    EXPECT_STREQ(plat::formatTm(std::string(1100, 'x').c_str(), broken).c_str(), "<date error>");
    broken.tm_year = INT_MAX;
    EXPECT_STREQ(plat::formatTm("%Y", broken).c_str(), "<date error>");
}

} // namespace
