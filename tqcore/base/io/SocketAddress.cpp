// Socket addresses are kept in a sockaddr_storage, so that both families are values of one type.
#include <io/SocketAddress.h>

#include <io/Endpoint.h>
#include <io/GetAddrInfoException.h>
#include <plat/Exception.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>

namespace io {

namespace {

using QueryFunction = int (*)(int, sockaddr*, socklen_t*);

SocketAddress queried(int fd, QueryFunction query, const char* name) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (query(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw plat::SystemException(name, errno);
    return SocketAddress(reinterpret_cast<sockaddr*>(&address), length);
}

struct AddrInfoDeleter {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};

} // namespace

// The assertion texts spell out the family numbers, 2 for AF_INET and 10 for AF_INET6.
SocketAddress::SocketAddress(const sockaddr* address, socklen_t len) : addressLength(len) {
    PLAT_ASSERT(len == sizeof(sockaddr_in) || ((len) == sizeof(sockaddr_in6)));
    std::memcpy(&storage, address, len);
    checkFamily();
}

void SocketAddress::checkFamily() const {
    PLAT_ASSERT(family() == 2 || ((family()) == 10));
}

SocketAddress SocketAddress::localOf(int fd) {
    return queried(fd, ::getsockname, "getsockname");
}

SocketAddress SocketAddress::peerOf(int fd) {
    return queried(fd, ::getpeername, "getpeername");
}

int SocketAddress::port() const {
    if (family() == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in*>(&storage)->sin_port);
    return ntohs(reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_port);
}

plat::DString SocketAddress::host() const {
    char text[INET6_ADDRSTRLEN] = "";
    const void* raw =
        family() == AF_INET
            ? static_cast<const void*>(&reinterpret_cast<const sockaddr_in*>(&storage)->sin_addr)
            : static_cast<const void*>(&reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_addr);
    ::inet_ntop(family(), raw, text, sizeof text);
    return plat::DString(text);
}

std::vector<SocketAddress> resolveNumeric(const char* host, int port) {
    plat::DString bare = unbracketHost(host);
    char service[16];
    std::snprintf(service, sizeof service, "%d", port);
    addrinfo hints{};
    hints.ai_flags = AI_NUMERICHOST;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_family = AF_UNSPEC;
    addrinfo* found = nullptr;
    int code = ::getaddrinfo(bare.c_str(), service, &hints, &found);
    if (code != 0)
        throw GetAddrInfoException("getaddrinfo", host, code);
    std::unique_ptr<addrinfo, AddrInfoDeleter> list(found);
    std::vector<SocketAddress> addresses;
    for (addrinfo* entry = found; entry; entry = entry->ai_next)
        addresses.emplace_back(entry->ai_addr, entry->ai_addrlen);
    return addresses;
}

} // namespace io
