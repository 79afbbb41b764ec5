// Text forms of ticks: ISO 8601 in UTC and local time with zone offsets, and strftime formats.
#include <plat/formatTime.h>

#include "support/ScopedTimeZone.h"

#include <plat/date.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using plat::Ticks;

const Ticks HalfPastNoon =
    plat::makeTime(2024, 1, 15, 12, 30, 45) + 123 * plat::TicksPerMillisecond;
const Ticks SummerNoon = plat::makeTime(2024, 7, 15, 12, 0, 0);

TEST(FormatUtc, WritesIsoFieldsAndZ) {
    EXPECT_STREQ(plat::formatUtc(HalfPastNoon, false).c_str(), "2024-01-15T12:30:45Z");
    EXPECT_STREQ(plat::formatUtc(HalfPastNoon, true).c_str(), "2024-01-15T12:30:45.123Z");
}

TEST(FormatUtc, PadsEarlyYearsToFourDigits) {
    EXPECT_STREQ(plat::formatUtc(plat::makeTime(5, 3, 4, 1, 2, 3), false).c_str(),
                 "0005-03-04T01:02:03Z");
}

TEST(FormatUtc, MillisecondsOfTimesBefore1601CountForwards) {
    // One millisecond before 1601 is 999 ms into the last second of 1600.
    EXPECT_STREQ(plat::formatUtc(-plat::TicksPerMillisecond, true).c_str(),
                 "1600-12-31T23:59:59.999Z");
}

TEST(FormatLocal, UtcZoneHasAPlusSign) {
    plattest::ScopedTimeZone zone("UTC");
    EXPECT_STREQ(plat::formatLocal(HalfPastNoon, true).c_str(), "2024-01-15T12:30:45.123+00:00");
}

TEST(FormatLocal, EastOfUtcEndsWithPlusOneHour) {
    plattest::ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_STREQ(plat::formatLocal(HalfPastNoon, false).c_str(), "2024-01-15T13:30:45+01:00");
    EXPECT_STREQ(plat::formatLocal(SummerNoon, false).c_str(), "2024-07-15T14:00:00+02:00");
}

TEST(FormatLocal, WestOfUtcHasAMinusSign) {
    plattest::ScopedTimeZone zone("EST5EDT");
    EXPECT_STREQ(plat::formatLocal(HalfPastNoon, false).c_str(), "2024-01-15T07:30:45-05:00");
    EXPECT_STREQ(plat::formatLocal(SummerNoon, true).c_str(), "2024-07-15T08:00:00.000-04:00");
}

TEST(FormatLocal, WestwardOffsetWithMinutes) {
    plattest::ScopedTimeZone zone("NST3:30");
    EXPECT_STREQ(plat::formatLocal(SummerNoon, false).c_str(), "2024-07-15T08:30:00-03:30");
}

TEST(FormatTm, YearAlwaysHasFourDigits) {
    std::tm broken = plat::toUtc(plat::makeTime(987, 6, 5, 4, 3, 2));
    EXPECT_STREQ(plat::formatTm("%Y/%m/%d %H:%M", broken).c_str(), "0987/06/05 04:03");
    EXPECT_STREQ(plat::formatTm("%Y%Y", broken).c_str(), "09870987");
}

TEST(FormatTm, PercentPairIsNotTakenForAYear) {
    std::tm broken = plat::toUtc(plat::makeTime(987, 6, 5, 4, 3, 2));
    EXPECT_STREQ(plat::formatTm("%%Y=%Y", broken).c_str(), "%Y=0987");
}

TEST(FormatTm, ResultsLongerThanTheFirstBufferGrow) {
    std::tm broken = plat::toUtc(HalfPastNoon);
    std::string format, expected;
    for (int i = 0; i < 40; ++i) {
        format += "%d.";
        expected += "15.";
    }
    EXPECT_EQ(std::string(plat::formatTm(format.c_str(), broken).c_str()), expected);
}

TEST(FormatTm, EmptyResultIsNotAnError) {
    std::tm broken = plat::toUtc(HalfPastNoon);
    plat::DString text = plat::formatTm("", broken);
    EXPECT_FALSE(text.isNull());
    EXPECT_STREQ(text.c_str(), "");
}

TEST(FormatTm, ResultsBeyondTheLargestBufferAreADateError) {
    std::tm broken = plat::toUtc(HalfPastNoon);
    std::string format(1100, 'x');
    EXPECT_STREQ(plat::formatTm(format.c_str(), broken).c_str(), "<date error>");
}

TEST(FormatTm, YearBeyondTheTmRangeIsADateError) {
    std::tm broken = plat::toUtc(HalfPastNoon);
    broken.tm_year = INT_MAX;
    EXPECT_STREQ(plat::formatTm("%Y", broken).c_str(), "<date error>");
}

} // namespace
