// The packet-information options of both address families.
#include <io/packetInfo.h>

#include <plat/Exception.h>

#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>

namespace io {

namespace {

struct PacketInfoOption {
    int level;
    int option;
    const char* setName;
    const char* getName;
};

PacketInfoOption optionFor(int family) {
    if (family == AF_INET6)
        return {IPPROTO_IPV6, IPV6_RECVPKTINFO, "setsockopt(IPV6_RECVPKTINFO)",
                "getsockopt(IPV6_RECVPKTINFO)"};
    return {IPPROTO_IP, IP_PKTINFO, "setsockopt(IP_PKTINFO)", "getsockopt(IP_PKTINFO)"};
}

} // namespace

void enablePacketInfo(int fd, int family) {
    PacketInfoOption info = optionFor(family);
    int on = 1;
    if (::setsockopt(fd, info.level, info.option, &on, sizeof on) != 0)
        throw plat::SystemException(info.setName, errno);
}

bool packetInfoEnabled(int fd, int family) {
    PacketInfoOption info = optionFor(family);
    int value = 0;
    socklen_t length = sizeof value;
    if (::getsockopt(fd, info.level, info.option, &value, &length) != 0)
        throw plat::SystemException(info.getName, errno);
    return value != 0;
}

} // namespace io
