// ISO 8601 time stamps and the compiler's build date: accepted forms, zones, fractions, and the
// texts that must be refused.
#include <plat/parseTime.h>

#include <plat/Exception.h>
#include <plat/date.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <utility>

#include <string>

namespace {

using plat::Ticks;
using plat::TicksPerSecond;
using testsupport::raisedBy;

const Ticks Stated = plat::makeTime(2024, 3, 10, 14, 5, 9);

bool refused(const char* text) {
    Ticks ticks = -1;
    bool accepted = plat::parseIso8601(text, ticks, std::nothrow);
    return !accepted && ticks == 0;
}

TEST(ParseIso8601, AcceptsZonesFractionsShortFieldsLeapDaysAndLeapSeconds) {
    const Ticks Hour = 3600 * TicksPerSecond;
    const std::pair<const char*, Ticks> cases[] = {
        {"2024-03-10T14:05:09", Stated},
        {"2024-03-10T14:05:09Z", Stated},
        {"2024-03-10T14:05:09.5+01:00", Stated + TicksPerSecond / 2 - Hour},
        {"2024-03-10T14:05:09-0130", Stated + Hour * 3 / 2},
        {"2024-03-10T14:05:09-00:01", Stated + 60 * TicksPerSecond},
        {"2024-03-10T14:05:09.0000001", Stated + 1},
        {"2024-03-10T14:05:09.999999999999Z", Stated + TicksPerSecond - 1},
        {"0001-01-01T00:00:00", plat::makeTime(1, 1, 1, 0, 0, 0)},
        {"2024-3-1T00:00:00", plat::makeTime(2024, 3, 1, 0, 0, 0)},
        {"2016-12-31T23:59:60Z", plat::makeTime(2017, 1, 1, 0, 0, 0)},
    };
    for (auto [text, expected] : cases) {
        Ticks ticks = -1;
        EXPECT_TRUE(plat::parseIso8601(text, ticks, std::nothrow)) << text;
        EXPECT_EQ(ticks, expected) << text;
    }
}

TEST(ParseIso8601, RefusesOtherShapesAndFieldsOutOfRange) {
    EXPECT_TRUE(refused(""));
    EXPECT_TRUE(refused(nullptr));
    for (const char* text : {"2024-04-30", "2024-04-30t01:00:00", " 2024-04-30T01:00:00",
                             "2024-+4-30T01:00:00", "2024-04-30T01:00", "0000-01-01T00:00:00",
                             "10000-01-01T00:00:00", "2023-02-29T00:00:00", "2024-04-30T24:00:00",
                             "2024-04-30T23:59:61", "2024-04-30T1:00:00", "2024-04-30T001:00:00"})
        EXPECT_TRUE(refused(text)) << text;
}

TEST(ParseIso8601, RefusesBadFractionsAndZonesMinusZeroAmongThem) {
    for (const char* suffix : {".1234567890123", "0", ".", ",5", "Z ", "z", "+1", "+01:0",
                               "+01:000", "+01:00Z", "+24:00", "+01:60", "-00:00", "-00"})
        EXPECT_TRUE(refused(("2024-04-30T01:00:00" + std::string(suffix)).c_str())) << suffix;
}

TEST(ParseIso8601, ThrowingFormQuotesTheText) {
    EXPECT_EQ(plat::parseIso8601("2024-03-10T14:05:09Z"), Stated);
    EXPECT_EQ(raisedBy([&] { plat::parseIso8601("2024-02-30T00:00:00"); }).message,
              "invalid date (2024-02-30T00:00:00)");
}

// "year-month-day" as parsed, or "refused".
std::string buildDate(const char* text) {
    int year = -1, month = -1, day = -1;
    if (!plat::parseBuildDate(text, year, month, day))
        return "refused";
    return std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day);
}

TEST(ParseBuildDate, ReadsTheCompilersFormWithRunsOfBlanksBetweenTheFields) {
    EXPECT_EQ(buildDate("Dec 31 1999"), "1999-12-31");
    EXPECT_EQ(buildDate("Mar \t 7   2001"), "2001-3-7");
    EXPECT_NE(buildDate(__DATE__), "refused") << __DATE__;
    const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int index = 0; index < 12; ++index)
        EXPECT_EQ(buildDate((std::string(names[index]) + " 1 2000").c_str()),
                  "2000-" + std::to_string(index + 1) + "-1");
}

TEST(ParseBuildDate, RefusesOtherTexts) {
    for (const char* text : {"", "jan 5 2024", "Jan5 2024", "Jan 5", "Jan 32 2024", "Jan 5 0",
                             "Jan 5 10000", "Jan 5 2024 12", "Jan -5 2024"})
        EXPECT_EQ(buildDate(text), "refused") << text;
    EXPECT_EQ(buildDate(nullptr), "refused");
}

} // namespace
