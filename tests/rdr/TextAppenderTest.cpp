// Appending text to output streams: terminators and formatting.
#include "support/ScriptedInStream.h"

#include <rdr/Exception.h>
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

    rdr::MemOutStream full(-1, 4);
    EXPECT_NO_THROW(rdr::TextAppender(full).append("abcd")) << "a full stream keeps the text";
    EXPECT_EQ(full.length(), 4);
}

TEST(TextAppenderFormat, LongTextArrivesWholeInGrowingAndBufferedStreams) {
    rdr::MemOutStream out(8);
    std::string filler(40000, 'z');
    rdr::TextAppender(out).appendFormat("%d-%s-%x", 42, filler.c_str(), 255);
    EXPECT_EQ(rdrtest::contentsOf(out), "42-" + filler + "-ff");

    rdrtest::ScriptedOutStream buffered(-1, 1 << 20);
    rdr::TextAppender(buffered).appendFormat("<%s>", filler.c_str());
    buffered.flush();
    EXPECT_EQ(buffered.received(), "<" + filler + ">");
}

TEST(TextAppenderFormat, EncodingErrorRaisesInsteadOfGrowingForEver) {
    rdr::MemOutStream out;
    const wchar_t unencodable[] = {wchar_t(0xD800), 0};
    EXPECT_THROW(rdr::TextAppender(out).appendFormat("%ls", unencodable), plat::SystemException);
}

} // namespace
