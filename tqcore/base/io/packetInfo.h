// Packet information on datagram sockets: the kernel then reports with each datagram the
// address it was sent to and the interface it arrived on.
#pragma once

namespace io {

// IP_PKTINFO for AF_INET, IPV6_RECVPKTINFO for AF_INET6; raise plat::SystemException
// "setsockopt(IP_PKTINFO)" and so on.
void enablePacketInfo(int fd, int family);
bool packetInfoEnabled(int fd, int family);

} // namespace io
