// Checked integer parsing: accepted forms, overflow, trailing text, ranges and errno.
#include <plat/parseNumber.h>

#include <plat/Exception.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>

namespace {

template <typename Parse>
std::string failureMessage(Parse parse) {
    return testsupport::raisedBy<plat::BadNum>(parse).message;
}

TEST(ParseS32, AcceptsLeadingNumberAndAdvancesEnd) {
    const char* end = nullptr;
    EXPECT_EQ(plat::parseS32(" -42px", &end), -42);
    EXPECT_STREQ(end, "px");
    EXPECT_EQ(plat::parseS32("010", nullptr, 0), 8);
    EXPECT_EQ(plat::parseS32("-2147483648"), INT32_MIN);
}

TEST(ParseS32, RejectsOverflowAndEmptyInput) {
    for (const char* text : {"2147483648", "-2147483649", "", "-"}) {
        std::int32_t value = 7;
        EXPECT_FALSE(plat::parseS32(text, value, std::nothrow)) << text;
        EXPECT_EQ(value, 0);
        EXPECT_EQ(failureMessage([&] { plat::parseS32(text); }), "Failed to parse integer");
    }
    std::int32_t value;
    EXPECT_FALSE(plat::parseS32(nullptr, value, std::nothrow));
}

TEST(ParseWholeS32, RequiresWholeTextWithinRange) {
    EXPECT_EQ(plat::parseWholeS32("17", 0, 20), 17);
    std::int32_t value;
    for (const char* text : {"17 ", "17x", "21", "-1", ""})
        EXPECT_FALSE(plat::parseWholeS32(text, value, std::nothrow, 0, 20)) << text;
    EXPECT_EQ(failureMessage([] { plat::parseWholeS32("21", 0, 20, "Width out of range"); }),
              "Width out of range");
    EXPECT_EQ(failureMessage([] { plat::parseWholeS32("1.5"); }), "Failed to parse integer");
}

TEST(ParseU32, RejectsMinusSignsAndValuesBeyond32Bits) {
    EXPECT_EQ(plat::parseU32("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(plat::parseWholeU32("+12", 10, 20), 12u);
    std::uint32_t value = 7;
    for (const char* text : {" -0", "4294967296", "18446744073709551616", "zz"}) {
        EXPECT_FALSE(plat::parseU32(text, value, std::nothrow)) << text;
        EXPECT_EQ(value, 0u);
    }
    EXPECT_EQ(failureMessage([] { plat::parseWholeU32("9", 10, 20); }), "Failed to parse integer");
    EXPECT_EQ(failureMessage([] { plat::parseWholeU32("5 ", 0, 20, "Bad size"); }), "Bad size");
}

TEST(ParseS64, RejectsSaturatedResults) {
    EXPECT_EQ(plat::parseS64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(plat::parseWholeS64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(failureMessage([] { plat::parseS64("9223372036854775808"); }),
              "Failed to parse S64 integer");
    EXPECT_EQ(failureMessage([] { plat::parseWholeS64("12 "); }), "Failed to parse S64 integer");
    std::int64_t value = 7;
    EXPECT_FALSE(plat::parseS64("-9223372036854775809", value, std::nothrow));
    EXPECT_EQ(value, 0);
}

TEST(ParseU64, RejectsMinusSignsAndOverflow) {
    EXPECT_EQ(plat::parseU64("18446744073709551615"), UINT64_MAX);
    EXPECT_EQ(plat::parseWholeU64("ff", 16), 255u);
    for (const char* text : {"-1", "18446744073709551616"})
        EXPECT_EQ(failureMessage([&] { plat::parseU64(text); }), "Failed to parse U64 integer");
    EXPECT_EQ(failureMessage([] { plat::parseWholeU64("1;"); }), "Failed to parse U64 integer");
}

TEST(ParseNumber, PreservesTheCallersErrno) {
    std::int32_t s32;
    std::uint32_t u32;
    std::int64_t s64;
    std::uint64_t u64;
    const std::function<void()> parses[] = {
        [&] { plat::parseS32("99999999999", s32, std::nothrow); },
        [&] { plat::parseWholeU32("99999999999", u32, std::nothrow); },
        [&] { plat::parseS64("99999999999999999999", s64, std::nothrow); },
        [&] { plat::parseU64("99999999999999999999", u64, std::nothrow); },
        [&] { plat::parseS32("5", s32, std::nothrow, nullptr, 99); },
    };
    for (const auto& parse : parses) {
        errno = EINTR;
        parse();
        EXPECT_EQ(errno, EINTR);
    }
}

} // namespace
