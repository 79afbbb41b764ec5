// The output stream core: big-endian integers, length-prefixed strings and padding.
#include <rdr/MemOutStream.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string written(const rdr::MemOutStream& out, int length) {
    return std::string(reinterpret_cast<const char*>(out.data()), std::size_t(length));
}

TEST(OutStreamIntegers, WritersAreBigEndianAcrossGrowth) {
    rdr::MemOutStream out(3);
    out.writeU8(1);
    out.writeU16(0x0203);
    out.writeU32(0x04050607);
    out.writeU64(0x08090A0B0C0D0E0Full);
    out.writeS16(-2);
    ASSERT_EQ(out.length(), 17);
    EXPECT_EQ(written(out, 17), std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C"
                                            "\x0D\x0E\x0F\xFF\xFE",
                                            17));
}

TEST(OutStreamStrings, WriteString8CapsTheLengthAt255) {
    std::string text(300, 'x');
    rdr::MemOutStream out;
    out.writeString8(text.c_str());
    ASSERT_EQ(out.length(), 256);
    EXPECT_EQ(out.data()[0], 255);
    EXPECT_EQ(written(out, 256).substr(1), std::string(255, 'x'));
}

TEST(OutStreamStrings, WriteString32CountsByMaxLength) {
    rdr::MemOutStream out;
    out.writeString32("abcdef", 3);
    out.writeString32("abc", -1);
    out.writeString32("abc", 0);
    out.writeString32(nullptr, -1);
    EXPECT_EQ(written(out, out.length()),
              std::string("\0\0\0\3abc\0\0\0\3abc\0\0\0\0\0\0\0\0", 22));
}

TEST(OutStreamPadding, PadSkipsBytesAcrossGrowth) {
    rdr::MemOutStream out(2);
    out.writeU8(9);
    out.pad(5);
    out.writeU8(7);
    ASSERT_EQ(out.length(), 7);
    EXPECT_EQ(out.data()[0], 9);
    EXPECT_EQ(out.data()[6], 7);
}

} // namespace
