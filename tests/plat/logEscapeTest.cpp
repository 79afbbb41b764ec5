// Log escaping, and log sources that cut a long message without breaking a character.
#include <plat/logEscape.h>

#include <plat/Log.h>

#include <support/LogCapture.h>

#include <gtest/gtest.h>

#include <utility>

#include <string>

namespace {

TEST(LogEscape, WritesControlsAndInvalidBytesInCaretMetaForm) {
    const std::pair<const char*, const char*> cases[] = {
        {"a~b\nc", "a~~b~^Jc"},
        {"del\x7F", "del~^?"},
        {"gr\u00FC\u00DF \u20AC", "gr\u00FC\u00DF \u20AC"},
        {"\xE2\x82!", "~M-b~M^B!"},
        {"\xA0\xFF\x80", "~M^`~M^?~M^@"},
        {"\xED\xA0\x80", "~M-m~M^`~M^@"},
    };
    for (auto [text, escaped] : cases)
        EXPECT_STREQ(plat::logEscape(text).get(), escaped) << text;
}

plat::LogSrc testLog("LogEscapeTest");

TEST(LogSrcEscaping, LongMessageCutInsideACharacterLeavesNoBrokenBytes) {
    std::string text(4093, 'a');
    text += "\u20AC\u20AC";
    testsupport::LogCapture capture("LogEscapeTest:stderr:100");
    testLog.status("%s", text.c_str());
    EXPECT_TRUE(capture.contains(": LogEscapeTest: " + std::string(4093, 'a') + "\n"));
    EXPECT_FALSE(capture.contains("~M"));
}

} // namespace
