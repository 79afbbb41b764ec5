// Packet information switched on and read back on datagram sockets of both families.
#include <io/packetInfo.h>

#include <io/SocketUtil.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

namespace {

using testsupport::raisedBy;

TEST(PacketInfo, IsOffUntilEnabledInEitherFamily) {
    for (int family : {AF_INET, AF_INET6}) {
        plat::UniqueFd fd = io::createSocket(family, SOCK_DGRAM, 0);
        ASSERT_TRUE(fd.valid());
        EXPECT_FALSE(io::packetInfoEnabled(fd.get(), family));
        io::enablePacketInfo(fd.get(), family);
        EXPECT_TRUE(io::packetInfoEnabled(fd.get(), family));
    }
}

TEST(PacketInfo, FailuresNameTheOption) {
    EXPECT_TRUE(
        raisedBy([] { io::enablePacketInfo(-1, AF_INET); }).startsWith("setsockopt(IP_PKTINFO): "));
    EXPECT_TRUE(raisedBy([] {
                    io::packetInfoEnabled(-1, AF_INET6);
                }).startsWith("getsockopt(IPV6_RECVPKTINFO): "));
}

} // namespace
