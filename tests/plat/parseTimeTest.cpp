// ISO 8601 time stamps and the compiler's build date: accepted forms, zones, fractions, and the
// texts that must be refused.
#include <plat/parseTime.h>

#include <plat/Exception.h>
#include <plat/date.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using plat::Ticks;
using plat::TicksPerSecond;
using testsupport::raisedBy;

const Ticks Stated = plat::makeTime(2024, 3, 10, 14, 5, 9);

Ticks parsed(const char* text) {
    Ticks ticks = -1;
    EXPECT_TRUE(plat::parseIso8601(text, ticks, std::nothrow)) << text;
    return ticks;
}

bool refused(const char* text) {
    Ticks ticks = -1;
    bool accepted = plat::parseIso8601(text, ticks, std::nothrow);
    return !accepted && ticks == 0;
}

TEST(ParseIso8601, WithoutZoneMeansUtc) {
    EXPECT_EQ(parsed("2024-03-10T14:05:09"), Stated);
    EXPECT_EQ(parsed("2024-03-10T14:05:09Z"), Stated);
}

TEST(ParseIso8601, HalfSecondAndPlusOneHour) {
    EXPECT_EQ(parsed("2024-03-10T14:05:09.5+01:00"),
              Stated + TicksPerSecond / 2 - 3600 * TicksPerSecond);
}

TEST(ParseIso8601, ZoneForms) {
    const Ticks hourAndHalf = 5400 * TicksPerSecond;
    EXPECT_EQ(parsed("2024-03-10T14:05:09+01:30"), Stated - hourAndHalf);
    EXPECT_EQ(parsed("2024-03-10T14:05:09+0130"), Stated - hourAndHalf);
    EXPECT_EQ(parsed("2024-03-10T14:05:09-01:30"), Stated + hourAndHalf);
    EXPECT_EQ(parsed("2024-03-10T14:05:09-0130"), Stated + hourAndHalf);
    EXPECT_EQ(parsed("2024-03-10T14:05:09-05"), Stated + 5 * 3600 * TicksPerSecond);
    EXPECT_EQ(parsed("2024-03-10T14:05:09+00:00"), Stated);
}

TEST(ParseIso8601, FractionsAreConvertedExactly) {
    EXPECT_EQ(parsed("2024-03-10T14:05:09.0000001"), Stated + 1);
    EXPECT_EQ(parsed("2024-03-10T14:05:09.000000100000Z"), Stated + 1);
    EXPECT_EQ(parsed("2024-03-10T14:05:09.999999999999Z"), Stated + TicksPerSecond - 1);
    EXPECT_EQ(parsed("2024-03-10T14:05:09.25"), Stated + TicksPerSecond / 4);
}

TEST(ParseIso8601, YearsAndShortDateFields) {
    EXPECT_EQ(parsed("0001-01-01T00:00:00"), plat::makeTime(1, 1, 1, 0, 0, 0));
    EXPECT_EQ(parsed("9999-12-31T23:59:59"), plat::makeTime(9999, 12, 31, 23, 59, 59));
    EXPECT_EQ(parsed("2024-3-1T00:00:00"), plat::makeTime(2024, 3, 1, 0, 0, 0));
}

TEST(ParseIso8601, LeapDayAndLeapSecond) {
    EXPECT_EQ(parsed("2024-02-29T00:00:00"), plat::makeTime(2024, 2, 29, 0, 0, 0));
    EXPECT_EQ(parsed("2016-12-31T23:59:60Z"), plat::makeTime(2017, 1, 1, 0, 0, 0));
    EXPECT_TRUE(refused("2023-02-29T00:00:00"));
}

TEST(ParseIso8601, RefusesOtherShapesAndFieldsOutOfRange) {
    EXPECT_TRUE(refused(""));
    EXPECT_TRUE(refused(nullptr));
    for (const char* text :
         {"2024-04-30", "2024-04-30 01:00:00", "2024-04-30t01:00:00", " 2024-04-30T01:00:00",
          "+2024-04-30T01:00:00", "2024-+4-30T01:00:00", "2024-04-30T01:00", "0000-01-01T00:00:00",
          "10000-01-01T00:00:00", "2024-13-01T00:00:00", "2024-04-31T00:00:00",
          "2024-04-30T24:00:00", "2024-04-30T23:60:00", "2024-04-30T23:59:61", "2024-04-30T1:00:00",
          "2024-04-30T01:00:0", "2024-04-30T001:00:00"})
        EXPECT_TRUE(refused(text)) << text;
}

TEST(ParseIso8601, RefusesBadFractionsAndZonesMinusZeroAmongThem) {
    for (const char* suffix :
         {".1234567890123", " ", "0", ".", ".Z", ",5", "Z ", "z", "+1", "+01:0", "+010", "+01:000",
          "+01:00Z", "+24:00", "+01:60", "+", "-00:00", "-0000", "-00"})
        EXPECT_TRUE(refused(("2024-04-30T01:00:00" + std::string(suffix)).c_str())) << suffix;
    EXPECT_FALSE(refused("2024-04-30T01:00:00-00:01"));
}

TEST(ParseIso8601, ThrowingFormQuotesTheText) {
    EXPECT_EQ(plat::parseIso8601("2024-03-10T14:05:09Z"), Stated);
    EXPECT_EQ(raisedBy([&] { plat::parseIso8601("2024-02-30T00:00:00"); }).message,
              "invalid date (2024-02-30T00:00:00)");
}

struct BuildDate {
    int year = -1, month = -1, day = -1;
};

BuildDate buildDate(const char* text) {
    BuildDate date;
    EXPECT_TRUE(plat::parseBuildDate(text, date.year, date.month, date.day)) << text;
    return date;
}

bool buildDateRefused(const char* text) {
    BuildDate date;
    return !plat::parseBuildDate(text, date.year, date.month, date.day);
}

TEST(ParseBuildDate, ReadsTheCompilersForm) {
    BuildDate date = buildDate("Jan  5 2024");
    EXPECT_EQ(date.year, 2024);
    EXPECT_EQ(date.month, 1);
    EXPECT_EQ(date.day, 5);
    date = buildDate("Dec 31 1999");
    EXPECT_EQ(date.year, 1999);
    EXPECT_EQ(date.month, 12);
    EXPECT_EQ(date.day, 31);
}

TEST(ParseBuildDate, ReadsThisBuildsDate) {
    BuildDate date = buildDate(__DATE__);
    EXPECT_GE(date.year, 2024);
    EXPECT_GE(date.month, 1);
    EXPECT_LE(date.month, 12);
}

TEST(ParseBuildDate, EveryMonthName) {
    const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int index = 0; index < 12; ++index) {
        std::string text = std::string(names[index]) + " 1 2000";
        EXPECT_EQ(buildDate(text.c_str()).month, index + 1) << text;
    }
}

TEST(ParseBuildDate, RunsOfBlanksSeparateTheFields) {
    BuildDate date = buildDate("Mar \t 7   2001");
    EXPECT_EQ(date.year, 2001);
    EXPECT_EQ(date.day, 7);
}

TEST(ParseBuildDate, RefusesOtherTexts) {
    EXPECT_TRUE(buildDateRefused(""));
    EXPECT_TRUE(buildDateRefused(nullptr));
    EXPECT_TRUE(buildDateRefused("jan 5 2024"));
    EXPECT_TRUE(buildDateRefused("Foo 5 2024"));
    EXPECT_TRUE(buildDateRefused("Jan5 2024"));
    EXPECT_TRUE(buildDateRefused("Jan 5"));
    EXPECT_TRUE(buildDateRefused("Jan 0 2024"));
    EXPECT_TRUE(buildDateRefused("Jan 32 2024"));
    EXPECT_TRUE(buildDateRefused("Jan 5 0"));
    EXPECT_TRUE(buildDateRefused("Jan 5 10000"));
    EXPECT_TRUE(buildDateRefused("Jan 5 2024 12"));
    EXPECT_TRUE(buildDateRefused("Jan -5 2024"));
}

} // namespace
