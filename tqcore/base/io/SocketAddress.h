// IPv4 and IPv6 socket addresses as values, a socket's own and its peer's address, and the
// resolution of numeric host texts.
#pragma once

#include <plat/DString.h>

#include <sys/socket.h>
#include <vector>

namespace io {

class SocketAddress {
public:
    // A copy of an AF_INET or AF_INET6 address of its exact size; anything else fails an
    // assertion.
    SocketAddress(const sockaddr* address, socklen_t length);

    // getsockname and getpeername; raise plat::SystemException with the call's name.
    static SocketAddress localOf(int fd);
    static SocketAddress peerOf(int fd);

    int family() const { return storage.ss_family; }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }
    socklen_t length() const { return addressLength; }
    int port() const;
    // The numeric host: "127.0.0.1", "::1".
    plat::DString host() const;

private:
    void checkFamily() const;

    sockaddr_storage storage{};
    socklen_t addressLength;
};

// The addresses of a numeric host (brackets allowed) and port, for stream sockets. Raises
// io::GetAddrInfoException for "getaddrinfo".
std::vector<SocketAddress> resolveNumeric(const char* host, int port);

} // namespace io
