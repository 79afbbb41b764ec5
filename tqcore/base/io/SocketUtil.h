// Creating, binding, connecting and accepting sockets, and their options: traffic class (DSCP),
// buffer sizes and path-MTU discovery. Every socket is close-on-exec from the start.
#pragma once

#include <io/SocketAddress.h>
#include <plat/UniqueFd.h>

#include <functional>
#include <sys/socket.h>

namespace io {

// Once per process, before the first socket: SIGPIPE is ignored when it has its default action,
// and an open-files soft limit above 1024 is lowered to 1024 so that every descriptor fits a
// select set (started children get the original limit back). Safe when threads race.
void startSocketLayer();

// Starts the socket layer; an invalid result leaves errno set.
plat::UniqueFd createSocket(int domain, int type, int protocol);

// Raise plat::SystemException naming the failing call; the socket never outlives a failure.
// Stream sockets get SO_REUSEADDR (and SO_REUSEPORT when asked), IPv6 ones IPV6_V6ONLY,
// datagram ones the DSCP value.
plat::UniqueFd bindSocket(const sockaddr* address, socklen_t length, int type, bool reusePort);
plat::UniqueFd bindSocket(const SocketAddress& address, int type, bool reusePort);
// A non-blocking connect may still be in progress on return. A blocking one interrupted by a
// signal goes on until the connection is made or fails.
plat::UniqueFd connectSocket(const sockaddr* address, socklen_t length, int type, bool blocking);
plat::UniqueFd connectSocket(const SocketAddress& address, int type, bool blocking);
// Raises "accept".
plat::UniqueFd acceptSocket(int fd);

// The process-wide DSCP value (0: leave the traffic class alone) for the sockets made from now.
void setDscp(int value);
int dscp();

// Grow the buffer to at least bytes where the system allows it; return the size now in use.
// Raise "getsockopt(SO_RCVBUF)", "setsockopt(SO_RCVBUF)" and the SO_SNDBUF equivalents.
int setReceiveBufferSize(int fd, int bytes);
int setSendBufferSize(int fd, int bytes);
// The size to keep, given the current one and the wanted one: trySet is asked for wanted and,
// while it fails with ENOMEM or ENOBUFS, for four fifths of the previous request, until the
// request would not grow the buffer. Other failures raise setsockopt(optionName). Returns the
// size that trySet accepted, or current.
int negotiateBufferSize(int current, int wanted, const char* optionName,
                        const std::function<bool(int)>& trySet);

// Probe (on) or don't fragment-check (off); a refused probe falls back to always setting DF.
// Failures are only logged.
void setPmtuDiscovery(int fd, int family, bool on);

} // namespace io
