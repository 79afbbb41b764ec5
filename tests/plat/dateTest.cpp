// Calendar arithmetic: leap years, date validity, dates to ticks and back, compared with the C
// library's own proleptic calendar (timegm/gmtime_r) where its range allows.
#include <plat/date.h>

#include "support/ScopedTimeZone.h"

#include <plat/Exception.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <ctime>

namespace {

using plat::Ticks;
using plat::TicksPerSecond;
using testsupport::raisedBy;

std::tm brokenDown(long long year, int month, int day, int hour = 0, int minute = 0,
                   int second = 0) {
    std::tm broken;
    std::memset(&broken, 0, sizeof broken);
    broken.tm_year = int(year - 1900);
    broken.tm_mon = month - 1;
    broken.tm_mday = day;
    broken.tm_hour = hour;
    broken.tm_min = minute;
    broken.tm_sec = second;
    return broken;
}

// The C library's answer for a UTC date, in ticks.
Ticks referenceTicks(long long year, int month, int day, int hour, int minute, int second) {
    std::tm broken = brokenDown(year, month, day, hour, minute, second);
    return (Ticks(timegm(&broken)) + plat::UnixEpochOffsetSeconds) * TicksPerSecond;
}

TEST(LeapYear, FollowsTheGregorianRulesBefore1582Too) {
    for (long long year : {2000, 2024, 1200, 4, 0, -4, -400})
        EXPECT_TRUE(plat::isLeapYear(year)) << year;
    for (long long year : {1900, 2023, 2100, 1500, 1100, -100})
        EXPECT_FALSE(plat::isLeapYear(year)) << year;
}

TEST(ValidDate, FebruaryHasTwentyNineDaysOnlyInLeapYears) {
    EXPECT_EQ(plat::daysInMonth(2024, 2), 29);
    EXPECT_EQ(plat::daysInMonth(1900, 2), 28);
    EXPECT_EQ(plat::daysInMonth(1500, 2), 28);
    EXPECT_EQ(plat::daysInMonth(2023, 13), 0);
    EXPECT_TRUE(plat::isValidDate(2024, 2, 29, 0, 0, 0));
    EXPECT_FALSE(plat::isValidDate(2023, 2, 29, 0, 0, 0));
    EXPECT_FALSE(plat::isValidDate(1500, 2, 29, 0, 0, 0));
}

TEST(ValidDate, RefusesFieldsOutOfRange) {
    EXPECT_TRUE(plat::isValidDate(2023, 12, 31, 23, 59, 60));
    EXPECT_FALSE(plat::isValidDate(2023, 13, 1, 0, 0, 0));
    EXPECT_FALSE(plat::isValidDate(2023, 4, 31, 0, 0, 0));
    EXPECT_FALSE(plat::isValidDate(2023, 4, 1, 24, 0, 0));
    EXPECT_FALSE(plat::isValidDate(2023, 4, 1, 0, 60, 0));
    EXPECT_FALSE(plat::isValidDate(2023, 4, 1, 0, 0, 61));
    EXPECT_FALSE(plat::isValidDate(2023, 4, 1, -1, 0, 0));
}

TEST(MakeTime, CountsFromTheStartOf1601) {
    EXPECT_EQ(plat::makeTime(1601, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(plat::makeTime(1970, 1, 1, 0, 0, 0), plat::UnixEpochOffsetSeconds * TicksPerSecond);
    EXPECT_EQ(plat::makeTime(1600, 12, 31, 23, 59, 59), -TicksPerSecond);
}

TEST(MakeTime, AgreesWithTheCLibraryOverManyCenturies) {
    for (long long year = -2401; year <= 2801; year += 37) {
        for (int month = 1; month <= 12; month += 1) {
            int day = plat::daysInMonth(year, month);
            EXPECT_EQ(plat::makeTime(year, month, day, 13, 7, 41),
                      referenceTicks(year, month, day, 13, 7, 41))
                << year << "-" << month << "-" << day;
        }
    }
}

TEST(MakeTime, LeapDayIsValidOnlyInLeapYears) {
    Ticks ticks;
    EXPECT_TRUE(plat::makeTime(2024, 2, 29, 0, 0, 0, ticks, std::nothrow));
    EXPECT_EQ(ticks, plat::makeTime(2024, 3, 1, 0, 0, 0) - 86400 * TicksPerSecond);
    EXPECT_FALSE(plat::makeTime(2023, 2, 29, 0, 0, 0, ticks, std::nothrow));
}

TEST(MakeTime, LeapSecondIsTheFirstSecondOfTheNextMinute) {
    EXPECT_EQ(plat::makeTime(2016, 12, 31, 23, 59, 60), plat::makeTime(2017, 1, 1, 0, 0, 0));
}

TEST(MakeTime, ThrowingFormNamesTheDate) {
    EXPECT_EQ(raisedBy([&] { plat::makeTime(2023, 2, 29, 7, 8, 9); }).message,
              "invalid date (2023-02-29T07:08:09)");
}

TEST(MakeTime, LatestAndEarliestRepresentableSeconds) {
    Ticks ticks;
    EXPECT_TRUE(plat::makeTime(30828, 9, 14, 2, 48, 5, ticks, std::nothrow));
    EXPECT_FALSE(plat::makeTime(30828, 9, 14, 2, 48, 6, ticks, std::nothrow));
    EXPECT_TRUE(plat::makeTime(-27627, 4, 19, 21, 11, 55, ticks, std::nothrow));
    EXPECT_FALSE(plat::makeTime(-27627, 4, 19, 21, 11, 54, ticks, std::nothrow));
}

TEST(MakeTime, HugeYearsFailWithoutOverflow) {
    Ticks ticks = 1;
    EXPECT_FALSE(plat::makeTime(1'000'001, 1, 1, 0, 0, 0, ticks, std::nothrow));
    EXPECT_FALSE(plat::makeTime(LLONG_MAX, 12, 31, 23, 59, 59, ticks, std::nothrow));
    EXPECT_FALSE(plat::makeTime(LLONG_MIN, 1, 1, 0, 0, 0, ticks, std::nothrow));
    EXPECT_EQ(ticks, 0);
}

TEST(FromTm, YearsAtTheEndOfTheTmRangeFail) {
    std::tm broken = brokenDown(2000, 1, 1);
    broken.tm_year = INT_MAX;
    Ticks ticks;
    EXPECT_FALSE(plat::fromTm(broken, ticks, std::nothrow));
    broken.tm_year = INT_MIN;
    EXPECT_FALSE(plat::fromTm(broken, ticks, std::nothrow));
    EXPECT_THROW(plat::fromTm(broken), plat::Exception);
}

TEST(ToUtc, RoundTripsWithMakeTime) {
    for (long long year = -27000; year <= 30000; year += 997) {
        for (int month = 1; month <= 12; month += 5) {
            Ticks ticks = plat::makeTime(year, month, 28, 23, 59, 58);
            std::tm broken = plat::toUtc(ticks);
            EXPECT_EQ(broken.tm_year + 1900LL, year);
            EXPECT_EQ(broken.tm_mon + 1, month);
            EXPECT_EQ(broken.tm_mday, 28);
            EXPECT_EQ(broken.tm_hour, 23);
            EXPECT_EQ(broken.tm_min, 59);
            EXPECT_EQ(broken.tm_sec, 58);
            EXPECT_EQ(plat::fromTm(broken), ticks);
        }
    }
}

TEST(ToUtc, WeekdayAndDayOfYearAgreeWithTheCLibrary) {
    for (long long year = -801; year <= 2401; year += 53) {
        for (int month = 1; month <= 12; ++month) {
            std::tm expected;
            time_t seconds =
                time_t(plat::unixSecondsFromTicks(plat::makeTime(year, month, 3, 0, 0, 0)));
            ASSERT_NE(gmtime_r(&seconds, &expected), nullptr);
            std::tm broken = plat::toUtc(plat::makeTime(year, month, 3, 0, 0, 0));
            EXPECT_EQ(broken.tm_wday, expected.tm_wday) << year << "-" << month;
            EXPECT_EQ(broken.tm_yday, expected.tm_yday) << year << "-" << month;
        }
    }
}

TEST(ToUtc, TicksBeforeASecondBelongToTheEarlierSecond) {
    std::tm broken = plat::toUtc(-1);
    EXPECT_EQ(broken.tm_year + 1900, 1600);
    EXPECT_EQ(broken.tm_mon + 1, 12);
    EXPECT_EQ(broken.tm_mday, 31);
    EXPECT_EQ(broken.tm_sec, 59);
}

TEST(ToUtc, ExtremeTicksGiveDatesAtTheEndsOfTheRange) {
    std::tm latest = plat::toUtc(INT64_MAX);
    EXPECT_EQ(latest.tm_year + 1900, 30828);
    EXPECT_EQ(latest.tm_sec, 5);
    std::tm earliest = plat::toUtc(INT64_MIN);
    EXPECT_EQ(earliest.tm_year + 1900, -27627);
    EXPECT_EQ(earliest.tm_sec, 54);
}

TEST(ToLocal, AppliesTheZoneAndItsSummerTime) {
    plattest::ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    std::tm winter, summer;
    ASSERT_TRUE(plat::toLocal(plat::makeTime(2024, 1, 15, 12, 0, 0), winter));
    ASSERT_TRUE(plat::toLocal(plat::makeTime(2024, 7, 15, 12, 0, 0), summer));
    EXPECT_EQ(winter.tm_hour, 13);
    EXPECT_EQ(winter.tm_gmtoff, 3600);
    EXPECT_EQ(summer.tm_hour, 14);
    EXPECT_EQ(summer.tm_gmtoff, 7200);
}

TEST(ToLocal, WestOfUtcGoesBackAcrossMidnight) {
    plattest::ScopedTimeZone zone("EST5EDT");
    std::tm local;
    ASSERT_TRUE(plat::toLocal(plat::makeTime(2024, 1, 1, 2, 0, 0), local));
    EXPECT_EQ(local.tm_year + 1900, 2023);
    EXPECT_EQ(local.tm_mday, 31);
    EXPECT_EQ(local.tm_hour, 21);
    EXPECT_EQ(local.tm_gmtoff, -5 * 3600);
}

} // namespace
