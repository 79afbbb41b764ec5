// Owned byte buffers with the wipe flag, and the secret-handling memory operations.
#include <plat/MBuf.h>

#include <plat/secureMemory.h>

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace {

using Bytes = plat::MBuf<unsigned char>;

TEST(MBuf, AssignReplacesContentsEvenFromItselfAndMoveLeavesTheSourceEmpty) {
    const unsigned char bytes[] = {1, 2, 3, 4};
    Bytes buffer(bytes, sizeof bytes, true);
    buffer.assign(buffer.data() + 1, 2);
    EXPECT_EQ(buffer, Bytes(bytes + 1, 2));
    EXPECT_TRUE(buffer.wipe());
    Bytes target = std::move(buffer);
    EXPECT_EQ(target, Bytes(bytes + 1, 2));
    EXPECT_TRUE(buffer.empty());
}

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
