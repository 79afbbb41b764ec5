// The secret-handling memory operations. The hexadecimal and binary parameter tests use owned
// byte buffers.
#include <plat/MBuf.h>

#include <plat/secureMemory.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Bytes = plat::MBuf<unsigned char>;

TEST(SecureMemory, WipesCopiesAndCompares) {
    unsigned char buffer[8];
    std::memset(buffer, 0xAB, sizeof buffer);
    plat::secureWipe(buffer, sizeof buffer);
    const unsigned char zeros[8] = {};
    EXPECT_EQ(std::memcmp(buffer, zeros, sizeof buffer), 0);
    plat::secureCopy(buffer, "password", sizeof buffer);
    EXPECT_TRUE(plat::secureEquals(buffer, "password", sizeof buffer));
    EXPECT_FALSE(plat::secureEquals(buffer, "passworD", sizeof buffer));
    EXPECT_TRUE(plat::secureEquals(buffer, "x", 0));
}

} // namespace
