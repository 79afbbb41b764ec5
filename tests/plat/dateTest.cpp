// Calendar arithmetic: date validity, dates to ticks and back, compared with the C
// library's own proleptic calendar (timegm/gmtime_r) where its range allows.
#include <plat/date.h>

#include <plat/Exception.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <ctime>
#include <string>
#include <tuple>
#include <utility>

namespace {

using plat::Ticks;
using plat::TicksPerSecond;
using testsupport::raisedBy;

// The C library's answer for a UTC date, in ticks.
Ticks referenceTicks(long long year, int month, int day, int hour, int minute, int second) {
    std::tm broken{};
    broken.tm_year = int(year - 1900);
    broken.tm_mon = month - 1;
    broken.tm_mday = day;
    broken.tm_hour = hour;
    broken.tm_min = minute;
    broken.tm_sec = second;
    return (Ticks(timegm(&broken)) + plat::UnixEpochOffsetSeconds) * TicksPerSecond;
}

// The broken-down fields as "year-month-day hour:minute:second".
std::string fieldsOf(const std::tm& broken) {
    char text[64];
    std::snprintf(text, sizeof text, "%lld-%02d-%02d %02d:%02d:%02d", broken.tm_year + 1900LL,
                  broken.tm_mon + 1, broken.tm_mday, broken.tm_hour, broken.tm_min, broken.tm_sec);
    return text;
}

TEST(ValidDate, RefusesFieldsOutOfRangeAndFebruary29OutsideLeapYears) {
    EXPECT_EQ(plat::daysInMonth(2023, 13), 0);
    using Case = std::tuple<int, int, int, int, int, int, bool>;
    for (auto [year, month, day, hour, minute, second, valid] :
         {Case{2024, 2, 29, 0, 0, 0, true}, Case{1500, 2, 29, 0, 0, 0, false},
          Case{2023, 12, 31, 23, 59, 60, true}, Case{2023, 4, 31, 0, 0, 0, false},
          Case{2023, 4, 1, 24, 0, 0, false}, Case{2023, 4, 1, 0, 0, 61, false},
          Case{2023, 4, 1, -1, 0, 0, false}})
        EXPECT_EQ(plat::isValidDate(year, month, day, hour, minute, second), valid)
            << year << "-" << month << "-" << day << " " << hour << ":" << minute << ":" << second;
}

// Ticks, broken-down fields, weekday and day of year all match, and toUtc/fromTm lead back.
TEST(MakeTime, AgreesWithTheCLibraryOverTheWholeRangeAndRoundTripsThroughToUtc) {
    for (long long year = -27000; year <= 30000; year += 397) {
        for (int month = 1; month <= 12; ++month) {
            int day = plat::daysInMonth(year, month);
            Ticks ticks = plat::makeTime(year, month, day, 13, 7, 41);
            EXPECT_EQ(ticks, referenceTicks(year, month, day, 13, 7, 41)) << year << "-" << month;
            std::tm expected;
            time_t seconds = time_t(plat::unixSecondsFromTicks(ticks));
            ASSERT_NE(gmtime_r(&seconds, &expected), nullptr);
            std::tm broken = plat::toUtc(ticks);
            EXPECT_EQ(fieldsOf(broken), fieldsOf(expected));
            EXPECT_EQ(std::pair(broken.tm_wday, broken.tm_yday),
                      std::pair(expected.tm_wday, expected.tm_yday))
                << fieldsOf(expected);
            EXPECT_EQ(plat::fromTm(broken), ticks) << fieldsOf(expected);
        }
    }
}

TEST(MakeTime, LeapSecondIsTheFirstSecondOfTheNextMinuteAndInvalidDatesAreNamed) {
    EXPECT_EQ(plat::makeTime(2016, 12, 31, 23, 59, 60), plat::makeTime(2017, 1, 1, 0, 0, 0));
    Ticks ticks;
    EXPECT_FALSE(plat::makeTime(2023, 2, 29, 0, 0, 0, ticks, std::nothrow));
    EXPECT_EQ(raisedBy([&] { plat::makeTime(2023, 2, 29, 7, 8, 9); }).message,
              "invalid date (2023-02-29T07:08:09)");
}

TEST(MakeTime, SecondsBeyondTheRepresentableRangeAndHugeYearsFailWithoutOverflow) {
    Ticks ticks;
    EXPECT_TRUE(plat::makeTime(30828, 9, 14, 2, 48, 5, ticks, std::nothrow));
    EXPECT_FALSE(plat::makeTime(30828, 9, 14, 2, 48, 6, ticks, std::nothrow));
    EXPECT_TRUE(plat::makeTime(-27627, 4, 19, 21, 11, 55, ticks, std::nothrow));
    EXPECT_FALSE(plat::makeTime(-27627, 4, 19, 21, 11, 54, ticks, std::nothrow));
    ticks = 1;
    EXPECT_FALSE(plat::makeTime(1'000'001, 1, 1, 0, 0, 0, ticks, std::nothrow));
    EXPECT_FALSE(plat::makeTime(LLONG_MAX, 12, 31, 23, 59, 59, ticks, std::nothrow));
    EXPECT_FALSE(plat::makeTime(LLONG_MIN, 1, 1, 0, 0, 0, ticks, std::nothrow));
    EXPECT_EQ(ticks, 0);
}

TEST(FromTm, YearsAtTheEndOfTheTmRangeFail) {
    std::tm broken = plat::toUtc(0);
    broken.tm_year = INT_MAX;
    Ticks ticks;
    EXPECT_FALSE(plat::fromTm(broken, ticks, std::nothrow));
    broken.tm_year = INT_MIN;
    EXPECT_FALSE(plat::fromTm(broken, ticks, std::nothrow));
    EXPECT_THROW(plat::fromTm(broken), plat::Exception);
}

TEST(ToUtc, TicksWithinASecondBelongToItEvenBefore1601AndAtTheEndsOfTheRange) {
    EXPECT_EQ(fieldsOf(plat::toUtc(INT64_MAX)), "30828-09-14 02:48:05");
    EXPECT_EQ(fieldsOf(plat::toUtc(INT64_MIN)), "-27627-04-19 21:11:54");
}

} // namespace
