// Appending text to output streams: terminators, formatting and UTF-8 characters.
#include "support/ScriptedInStream.h"

#include <rdr/Exception.h>
#include <rdr/MemOutStream.h>
#include <rdr/TextAppender.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const char* text(const rdr::MemOutStream& out) {
    return reinterpret_cast<const char*>(out.data());
}

TEST(TextAppenderTerminator, TextReadsAsCStringWithoutCountingTheNul) {
    rdr::MemOutStream out(1);
    rdr::TextAppender(out).append("abc").append("defg", 2).append("x\0y", 3);
    EXPECT_EQ(out.length(), 6);
    EXPECT_STREQ(text(out), "abcdex");
}

TEST(TextAppenderTerminator, FullStreamKeepsTheTextWithoutTerminator) {
    rdr::MemOutStream out(-1, 4);
    EXPECT_NO_THROW(rdr::TextAppender(out).append("abcd"));
    EXPECT_EQ(out.length(), 4);
}

TEST(TextAppenderFormat, FormatsLongTextIntoGrowingStream) {
    rdr::MemOutStream out(8);
    std::string filler(5000, 'z');
    rdr::TextAppender(out).appendFormat("%d-%s-%x", 42, filler.c_str(), 255);
    EXPECT_EQ(std::string(text(out)), "42-" + filler + "-ff");
    EXPECT_EQ(out.length(), int(filler.size()) + 6);
}

TEST(TextAppenderFormat, TextLongerThanABufferedWindowArrivesWhole) {
    rdrtest::ScriptedOutStream out(-1, 1 << 20);
    std::string filler(40000, 'w');
    rdr::TextAppender(out).appendFormat("<%s>", filler.c_str());
    out.flush();
    EXPECT_EQ(out.received(), "<" + filler + ">");
}

TEST(TextAppenderFormat, EncodingErrorRaisesInsteadOfGrowingForEver) {
    rdr::MemOutStream out;
    const wchar_t unencodable[] = {wchar_t(0xD800), 0};
    EXPECT_THROW(rdr::TextAppender(out).appendFormat("%ls", unencodable), plat::SystemException);
}

TEST(TextAppenderCharacters, EuroSignIsThreeBytes) {
    rdr::MemOutStream out;
    rdr::TextAppender(out).appendChar(0x20AC);
    EXPECT_EQ(out.length(), 3);
    EXPECT_STREQ(text(out), "\xE2\x82\xAC");
}

TEST(TextAppenderCharacters, RepeatsCountTimes) {
    rdr::MemOutStream out;
    rdr::TextAppender(out).appendChar('-', 3).appendChar(0xE9, 2);
    EXPECT_STREQ(text(out), "---\xC3\xA9\xC3\xA9");
}

} // namespace
