// Log escaping, and its use by log sources on every message that needs it.
#include <plat/logEscape.h>

#include <plat/Log.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

TEST(LogEscape, WritesControlsAndInvalidBytesInCaretMetaForm) {
    struct Case {
        const char* text;
        const char* escaped;
    };
    for (Case c : {
             Case{"a~b\nc", "a~~b~^Jc"},
             Case{"tab\there\r", "tab~^Ihere~^M"},
             Case{"del\x7F", "del~^?"},
             Case{"gr\u00FC\u00DF \u20AC", "gr\u00FC\u00DF \u20AC"},
             Case{"\xC3", "~M-C"},
             Case{"\xE2\x82!", "~M-b~M^B!"},
             Case{"\xA0\xFF\x80", "~M^`~M^?~M^@"},
             Case{"\xED\xA0\x80", "~M-m~M^`~M^@"},
             Case{"plain", "plain"},
         }) {
        EXPECT_STREQ(plat::logEscape(c.text).get(), c.escaped) << c.text;
    }
}

TEST(LogEscape, OnlyTextsWithControlsTildeOrHighBytesNeedIt) {
    EXPECT_FALSE(plat::needsLogEscape("plain text {}|"));
    EXPECT_FALSE(plat::needsLogEscape(nullptr));
    for (const char* text : {"~", "a\n", "\x7F", "\u00FC", "\x1F"})
        EXPECT_TRUE(plat::needsLogEscape(text)) << text;
}

// Runs body with standard error sent to a file and returns what was written there.
template <typename Body>
std::string captureStderr(Body body) {
    char path[] = "/tmp/logEscapeTest.XXXXXX";
    int file = mkstemp(path);
    EXPECT_GE(file, 0);
    std::fflush(stderr);
    int saved = dup(STDERR_FILENO);
    dup2(file, STDERR_FILENO);
    body();
    dup2(saved, STDERR_FILENO);
    close(saved);
    close(file);
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    unlink(path);
    return content.str();
}

plat::LogSrc testLog("LogEscapeTest");

class LogSrcEscaping : public ::testing::Test {
protected:
    void SetUp() override { plat::setLogOverride("LogEscapeTest:stderr:100"); }
    void TearDown() override { plat::setLogOverride(nullptr); }
};

TEST_F(LogSrcEscaping, MessageWithTildeAndLineFeedStaysOnOneLine) {
    std::string output = captureStderr([] { testLog.status("first~%s", "\nsecond"); });
    EXPECT_NE(output.find(": LogEscapeTest: first~~~^Jsecond\n"), std::string::npos) << output;
    EXPECT_EQ(output.find('\n'), output.size() - 1);
}

TEST_F(LogSrcEscaping, LongMessageCutInsideACharacterLeavesNoBrokenBytes) {
    std::string text(4093, 'a');
    text += "\u20AC\u20AC";
    std::string output = captureStderr([&] { testLog.status("%s", text.c_str()); });
    std::string expected = ": LogEscapeTest: " + std::string(4093, 'a') + "\n";
    EXPECT_NE(output.find(expected), std::string::npos);
    EXPECT_EQ(output.find("~M"), std::string::npos);
}

} // namespace
