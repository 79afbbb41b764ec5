// Numeric resolution, resolver errors and the addresses of connected sockets.
#include <io/SocketAddress.h>

#include <io/GetAddrInfoException.h>
#include <io/SocketUtil.h>

#include <gtest/gtest.h>

#include <netdb.h>
#include <netinet/in.h>

namespace {

TEST(ResolveNumeric, GivesTheAddressOfEachFamilyWithItsPort) {
    std::vector<io::SocketAddress> v4 = io::resolveNumeric("127.0.0.1", 7101);
    ASSERT_EQ(v4.size(), 1u);
    EXPECT_EQ(v4[0].family(), AF_INET);
    EXPECT_EQ(v4[0].length(), sizeof(sockaddr_in));
    EXPECT_STREQ(v4[0].host().c_str(), "127.0.0.1");
    EXPECT_EQ(v4[0].port(), 7101);
    std::vector<io::SocketAddress> v6 = io::resolveNumeric("[::1]", 80);
    ASSERT_EQ(v6.size(), 1u);
    EXPECT_EQ(v6[0].family(), AF_INET6);
    EXPECT_STREQ(v6[0].host().c_str(), "::1");
    EXPECT_EQ(v6[0].port(), 80);
}

TEST(ResolveNumeric, ANameIsNoNumericHostAndIsExplainedInWords) {
    try {
        io::resolveNumeric("localhost", 80);
        FAIL() << "resolved";
    } catch (const io::GetAddrInfoException& e) {
        EXPECT_EQ(e.code(), EAI_NONAME);
        EXPECT_STREQ(e.message(), "getaddrinfo: 'localhost' (No such host is known)");
        EXPECT_STREQ(e.typeText(), "GetAddrInfo");
    }
    EXPECT_STREQ(io::GetAddrInfoException("getnameinfo", "h", EAI_FAMILY).message(),
                 ("getnameinfo: 'h' (" + std::to_string(EAI_FAMILY) + ")").c_str());
}

TEST(SocketAddress, LocalAndPeerAddressesOfALoopbackConnection) {
    io::SocketAddress any = io::resolveNumeric("127.0.0.1", 0)[0];
    plat::UniqueFd listener = io::bindSocket(any, SOCK_STREAM, false);
    ASSERT_EQ(::listen(listener.get(), 1), 0);
    io::SocketAddress bound = io::SocketAddress::localOf(listener.get());
    EXPECT_NE(bound.port(), 0);
    plat::UniqueFd client = io::connectSocket(bound, SOCK_STREAM, true);
    io::SocketAddress peer = io::SocketAddress::peerOf(client.get());
    EXPECT_STREQ(peer.host().c_str(), "127.0.0.1");
    EXPECT_EQ(peer.port(), bound.port());
    try {
        io::SocketAddress::peerOf(listener.get());
        FAIL() << "a listener has a peer";
    } catch (const plat::SystemException& e) {
        EXPECT_EQ(e.error(), ENOTCONN);
        EXPECT_STREQ(e.message(), "getpeername: Transport endpoint is not connected (107)");
    }
}

} // namespace
