// The output stream core: big-endian integers, length-prefixed strings and padding.
#include "support/ScriptedInStream.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using rdrtest::contentsOf;

TEST(OutStreamIntegers, WritersAreBigEndianAndPadSkipsBytesAcrossGrowth) {
    rdr::MemOutStream out(3);
    out.writeU8(1);
    out.writeU16(0x0203);
    out.writeU32(0x04050607);
    out.writeU64(0x08090A0B0C0D0E0Full);
    out.writeS16(-2);
    out.pad(3);
    out.writeU8(7);
    std::string written = contentsOf(out);
    ASSERT_EQ(written.size(), 21u);
    EXPECT_EQ(written.substr(0, 17), std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B"
                                                 "\x0C\x0D\x0E\x0F\xFF\xFE",
                                                 17));
    EXPECT_EQ(written[20], 7);
}

TEST(OutStreamStrings, LengthPrefixesCapOrCountByMaxLength) {
    rdr::MemOutStream out;
    out.writeString8(std::string(300, 'x').c_str());
    EXPECT_EQ(contentsOf(out), "\xFF" + std::string(255, 'x'));

    rdr::MemOutStream out32;
    out32.writeString32("abcdef", 3);
    out32.writeString32("abc", -1);
    out32.writeString32("abc", 0);
    out32.writeString32(nullptr, -1);
    EXPECT_EQ(contentsOf(out32), std::string("\0\0\0\3abc\0\0\0\3abc\0\0\0\0\0\0\0\0", 22));
}

} // namespace
