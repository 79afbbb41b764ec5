// Formatting of translated texts: conversions, positions, precision and the fault report.
#include <loc/formatLoc.h>

#include <support/RecordingLogDest.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string format(const char* text, std::initializer_list<loc::LocArg> args) {
    return loc::formatLoc(text, args).c_str();
}

TEST(FormatLoc, ConvertsEachArgumentTypeInAnyOrder) {
    EXPECT_EQ(format("%D byte", {-3}), "-3 byte");
    EXPECT_EQ(format("%+D", {7}), "+7");
    EXPECT_EQ(format("%D", {4000000000u}), "4000000000");
    EXPECT_EQ(format("%D", {-9223372036854775807LL - 1}), "-9223372036854775808");
    EXPECT_EQ(format("0x%X", {255u}), "0xff");
    EXPECT_EQ(format("'%S'", {"text"}), "'text'");
    EXPECT_EQ(format("'%S'", {static_cast<const char*>(nullptr)}), "''");
    EXPECT_EQ(format("100%% of %S", {"it"}), "100% of it");
    EXPECT_EQ(format("", {1}), "");
    // Positions let translators reorder.
    EXPECT_EQ(format("%2$S %1$S", {"first", "second"}), "second first");
    EXPECT_EQ(format("%1$D/%1$D", {5}), "5/5");
    EXPECT_EQ(format("%+2$D %1$.2S", {"abc", 4}), "+4 ab");
}

TEST(FormatLoc, PrecisionCutsTextOnACharacterBoundary) {
    EXPECT_EQ(format("%.2S", {"\u00E9t\u00E9"}), "\u00E9");
    EXPECT_EQ(format("%.5S", {"a\u20AC\u20AC"}), "a\u20AC");
    EXPECT_EQ(format("%.1S", {"\u00E9"}), "");
    EXPECT_EQ(format("%.0S", {"abc"}), "");
}

TEST(FormatLoc, AFaultCopiesTheRestAndIsLogged) {
    testsupport::LogRecording log("Localize");
    EXPECT_EQ(format("a %S b %S", {"x", "y"}), "a %S b %S") << "two arguments need positions";
    EXPECT_EQ(log.levelOf("Bad loc string for args - a %S b %S"), 0) << log.dump();
    EXPECT_EQ(format("n=%D, s=%S", {3}), "n=3, s=%S");
    EXPECT_EQ(format("%1$S and %3$S", {"one", "two"}), "one and %3$S");
    EXPECT_EQ(format("%X", {5}), "%X") << "hexadecimal takes unsigned arguments only";
    EXPECT_EQ(format("%D", {"five"}), "%D");
}

TEST(FormatLoc, MismatchedArgumentsAreFaults) {
    for (const char* text : {"%+D", "%.2D", "%.2X", "%Q", "%", "%3$S", "%0$S", "%1S", "%S", "%D%",
                             "%.S", "%+S", "%+X", "%99999999999$D"}) {
        testsupport::LogRecording log("Localize");
        format(text, {5u});
        EXPECT_EQ(log.messages().size(), 1u) << text;
    }
}

} // namespace
