// Formatting of translated texts: conversions, positions, precision and the fault report.
#include <loc/formatLoc.h>

#include <plat/Log.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::string format(const char* text, std::initializer_list<loc::LocArg> args) {
    return loc::formatLoc(text, args).c_str();
}

// Runs body with the log routed to standard error, which goes to a file, and returns the file.
template <typename Body>
std::string capturedLog(Body body) {
    char path[] = "/tmp/formatLocTest.XXXXXX";
    int file = mkstemp(path);
    std::fflush(stderr);
    int saved = dup(STDERR_FILENO);
    dup2(file, STDERR_FILENO);
    plat::setLogOverride("Localize:stderr:0");
    body();
    plat::setLogOverride(nullptr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    close(file);
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    unlink(path);
    return content.str();
}

TEST(FormatLoc, ConvertsEachArgumentType) {
    EXPECT_EQ(format("%D byte", {-3}), "-3 byte");
    EXPECT_EQ(format("%+D", {7}), "+7");
    EXPECT_EQ(format("%D", {4000000000u}), "4000000000");
    EXPECT_EQ(format("0x%X", {255u}), "0xff");
    EXPECT_EQ(format("'%S'", {"text"}), "'text'");
    EXPECT_EQ(format("100%% of %S", {"it"}), "100% of it");
    EXPECT_EQ(format("no conversions", {}), "no conversions");
}

TEST(FormatLoc, PositionsLetTranslatorsReorder) {
    EXPECT_EQ(format("%1$S, %2$S", {"Monday", "10:00"}), "Monday, 10:00");
    EXPECT_EQ(format("%2$S %1$S", {"first", "second"}), "second first");
    EXPECT_EQ(format("%1$D/%1$D", {5}), "5/5");
}

TEST(FormatLoc, PrecisionCutsTextOnACharacterBoundary) {
    EXPECT_EQ(format("%.3S", {"abcdef"}), "abc");
    EXPECT_EQ(format("%.2S", {"\u00E9t\u00E9"}), "\u00E9");
    EXPECT_EQ(format("%.1S", {"\u00E9"}), "");
    EXPECT_EQ(format("%.9S", {"ab"}), "ab");
}

TEST(FormatLoc, FaultCopiesTheRestAndIsLogged) {
    std::string result;
    std::string log = capturedLog([&result] { result = format("a %S b %S", {"x", "y"}); });
    EXPECT_EQ(result, "a %S b %S") << "two arguments need positions";
    EXPECT_NE(log.find("Localize: Bad loc string for args - a %S b %S\n"), std::string::npos)
        << log;

    capturedLog([&result] { result = format("n=%D, s=%S", {3}); });
    EXPECT_EQ(result, "n=3, s=%S");
}

TEST(FormatLoc, MismatchedArgumentsAreFaults) {
    for (const char* text : {"%+D", "%.2D", "%Q", "%", "%3$S", "%0$S", "%S", "%D%"}) {
        std::string result;
        std::string log = capturedLog([&] { result = format(text, {5u}); });
        EXPECT_NE(log.find("Bad loc string for args"), std::string::npos) << text;
    }
    std::string result;
    capturedLog([&result] { result = format("%X", {5}); });
    EXPECT_EQ(result, "%X") << "hexadecimal takes unsigned arguments only";
    capturedLog([&result] { result = format("%S", {}); });
    EXPECT_EQ(result, "%S");
}

} // namespace
