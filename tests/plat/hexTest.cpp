// Hexadecimal encoding and strict decoding.
#include <plat/hex.h>

#include <plat/Exception.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

namespace {

using testsupport::raisedBy;

TEST(Hex, EncodesLowerCasePairsAndDecodesEitherCase) {
    const unsigned char bytes[] = {0x00, 0x0A, 0x1B, 0xFF};
    EXPECT_STREQ(plat::binToHex(bytes, sizeof bytes).get(), "000a1bff");
    EXPECT_STREQ(plat::binToHex(nullptr, 0).get(), "");
    EXPECT_EQ(plat::hexToBin("000A1bfF"), plat::MBuf<unsigned char>(bytes, sizeof bytes));
    EXPECT_TRUE(plat::hexToBin("").empty());
    unsigned char all[256];
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<unsigned char>(i);
    plat::DString text = plat::binToHex(all, sizeof all);
    EXPECT_EQ(plat::hexToBin(text.get()), plat::MBuf<unsigned char>(all, sizeof all));
}

TEST(Hex, RejectsOddLengthsAndForeignCharacters) {
    for (const char* text : {"0a1", "0g", "0a 1", "-1", "0x"}) {
        EXPECT_EQ(raisedBy([&] { plat::hexToBin(text); }).message, "Bad hex string");
        plat::MBuf<unsigned char> result(3);
        EXPECT_FALSE(plat::hexToBin(text, result, std::nothrow)) << text;
        EXPECT_TRUE(result.empty());
    }
}

} // namespace
