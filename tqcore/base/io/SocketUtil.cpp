// The socket utilities and the socket layer's one-time start-up.
#include <io/SocketUtil.h>

#include <io/socketLayerState.h>
#include <plat/DynamicFn.h>
#include <plat/Exception.h>
#include <plat/LogSrc.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <sys/resource.h>

namespace io {

namespace {

plat::LogSrc socketLog("SocketUtil");

constexpr rlim_t SelectableDescriptors = 1024;

std::atomic<int> dscpValue{0};

void ignoreDefaultSigpipe() {
    struct sigaction current {};
    if (::sigaction(SIGPIPE, nullptr, &current) != 0)
        return;
    if ((current.sa_flags & SA_SIGINFO) || current.sa_handler != SIG_DFL)
        return;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, nullptr);
}

void lowerOpenFilesLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        socketLog.error("getrlimit(RLIMIT_NOFILE): %s", std::strerror(errno));
        return;
    }
    if (limit.rlim_cur <= SelectableDescriptors)
        return;
    keepOpenFilesLimit(limit);
    rlimit lowered = limit;
    lowered.rlim_cur = SelectableDescriptors;
    if (::setrlimit(RLIMIT_NOFILE, &lowered) != 0)
        socketLog.error("setrlimit(RLIMIT_NOFILE): %s", std::strerror(errno));
}

bool setCloseOnExec(int fd) {
    int flags = ::fcntl(fd, F_GETFD);
    return flags >= 0 && ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC) == 0;
}

// Takes fd; on failure it is closed and errno kept.
plat::UniqueFd closeOnExecOrClosed(int fd) {
    plat::UniqueFd owned(fd);
    if (!setCloseOnExec(fd)) {
        int savedErrno = errno;
        owned.reset();
        errno = savedErrno;
    }
    return owned;
}

int baseType(int type) {
    return type & ~(SOCK_NONBLOCK | SOCK_CLOEXEC);
}

void setIntOption(int fd, int level, int option, int value) {
    if (::setsockopt(fd, level, option, &value, sizeof value) != 0)
        throw plat::SystemException("setsockopt", errno);
}

void applyDscp(int fd) {
    int value = dscpValue.load();
    if (value < 1)
        return;
    sockaddr_storage own{};
    socklen_t length = sizeof own;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&own), &length) != 0)
        return;
    int trafficClass = value * 4;
    int result = 0;
    if (own.ss_family == AF_INET)
        result = ::setsockopt(fd, IPPROTO_IP, IP_TOS, &trafficClass, sizeof trafficClass);
    else if (own.ss_family == AF_INET6)
        result = ::setsockopt(fd, IPPROTO_IPV6, IPV6_TCLASS, &trafficClass, sizeof trafficClass);
    if (result != 0)
        socketLog.debug("setsockopt(DSCP, %d): %s", value, std::strerror(errno));
}

plat::UniqueFd createOrRaise(int domain, int type) {
    plat::UniqueFd fd = createSocket(domain, type, 0);
    if (!fd.valid())
        throw plat::SystemException("socket", errno);
    return fd;
}

void makeNonBlocking(int fd) {
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0)
        throw plat::SystemException("setBlocking", errno);
}

// A blocking connect interrupted by a signal goes on in the kernel; calling connect again waits
// for it, and reports EISCONN when it completed in between.
void connectRestarting(int fd, const sockaddr* address, socklen_t length) {
    bool interrupted = false;
    while (::connect(fd, address, length) != 0) {
        if (errno == EINTR) {
            interrupted = true;
            continue;
        }
        if (errno == EINPROGRESS || (interrupted && errno == EISCONN))
            return;
        throw plat::SystemException("connect", errno);
    }
}

using Accept4Function = int (*)(int, sockaddr*, socklen_t*, int);

Accept4Function accept4Function() {
    static const plat::DynamicFn lookup("c[6]", "accept4");
    return lookup.as<Accept4Function>();
}

int readBufferOption(int fd, int option, const char* optionName) {
    int size = 0;
    socklen_t length = sizeof size;
    if (::getsockopt(fd, SOL_SOCKET, option, &size, &length) != 0)
        throw plat::SystemExceptionFmt("getsockopt(%s)", errno, optionName);
    return size;
}

int setBufferSize(int fd, bool receive, int wanted) {
    int option = receive ? SO_RCVBUF : SO_SNDBUF;
    const char* optionName = receive ? "SO_RCVBUF" : "SO_SNDBUF";
    int current = readBufferOption(fd, option, optionName);
    if (current < wanted && current > 0) {
        int accepted = negotiateBufferSize(current, wanted, optionName, [&](int size) {
            return ::setsockopt(fd, SOL_SOCKET, option, &size, sizeof size) == 0;
        });
        if (accepted != current)
            current = readBufferOption(fd, option, optionName);
    }
    socketLog.debug(receive ? "Using receive buffer size of %d KiB"
                            : "Using send buffer size of %d KiB",
                    current / 1024);
    return current;
}

} // namespace

void startSocketLayer() {
    static std::once_flag once;
    std::call_once(once, [] {
        ignoreDefaultSigpipe();
        lowerOpenFilesLimit();
    });
}

// EINVAL also answers bad arguments, so the flag counts as unsupported only when the same call
// without it succeeds.
plat::UniqueFd createSocket(int domain, int type, int protocol) {
    startSocketLayer();
    if (!socketCloexecUnsupported()) {
        int fd = ::socket(domain, type | SOCK_CLOEXEC, protocol);
        if (fd >= 0 || (errno != EPROTONOSUPPORT && errno != EINVAL))
            return plat::UniqueFd(fd);
        fd = ::socket(domain, type, protocol);
        if (fd < 0)
            return plat::UniqueFd();
        setSocketCloexecUnsupported();
        return closeOnExecOrClosed(fd);
    }
    int fd = ::socket(domain, type, protocol);
    return fd < 0 ? plat::UniqueFd() : closeOnExecOrClosed(fd);
}

plat::UniqueFd bindSocket(const sockaddr* address, socklen_t length, int type, bool reusePort) {
    plat::UniqueFd fd = createOrRaise(address->sa_family, type);
    if (baseType(type) == SOCK_STREAM) {
        setIntOption(fd.get(), SOL_SOCKET, SO_REUSEADDR, 1);
        if (reusePort)
            setIntOption(fd.get(), SOL_SOCKET, SO_REUSEPORT, 1);
    }
    if (address->sa_family == AF_INET6) {
        int on = 1;
        if (::setsockopt(fd.get(), IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on) != 0)
            socketLog.debug("setsockopt(IPV6_V6ONLY): %s", std::strerror(errno));
    }
    if (::bind(fd.get(), address, length) != 0)
        throw plat::SystemException("bind", errno);
    if (baseType(type) == SOCK_DGRAM)
        applyDscp(fd.get());
    return fd;
}

plat::UniqueFd bindSocket(const SocketAddress& address, int type, bool reusePort) {
    return bindSocket(address.get(), address.length(), type, reusePort);
}

plat::UniqueFd connectSocket(const sockaddr* address, socklen_t length, int type, bool blocking) {
    plat::UniqueFd fd = createOrRaise(address->sa_family, type);
    if (!blocking)
        makeNonBlocking(fd.get());
    connectRestarting(fd.get(), address, length);
    if (baseType(type) != SOCK_STREAM)
        applyDscp(fd.get());
    return fd;
}

plat::UniqueFd connectSocket(const SocketAddress& address, int type, bool blocking) {
    return connectSocket(address.get(), address.length(), type, blocking);
}

// Without accept4 the accepted socket is briefly inheritable: a fork on another thread in that
// moment would leak it into the child.
plat::UniqueFd acceptSocket(int fd) {
    Accept4Function accept4 = accept4Function();
    int result;
    do {
        result =
            accept4 ? accept4(fd, nullptr, nullptr, SOCK_CLOEXEC) : ::accept(fd, nullptr, nullptr);
    } while (result < 0 && errno == EINTR);
    if (result < 0)
        throw plat::SystemException("accept", errno);
    plat::UniqueFd accepted = accept4 ? plat::UniqueFd(result) : closeOnExecOrClosed(result);
    if (!accepted.valid())
        throw plat::SystemException("accept", errno);
    applyDscp(accepted.get());
    return accepted;
}

void setDscp(int value) {
    dscpValue.store(value);
}

int dscp() {
    return dscpValue.load();
}

int setReceiveBufferSize(int fd, int bytes) {
    return setBufferSize(fd, true, bytes);
}

int setSendBufferSize(int fd, int bytes) {
    return setBufferSize(fd, false, bytes);
}

int negotiateBufferSize(int current, int wanted, const char* optionName,
                        const std::function<bool(int)>& trySet) {
    for (int request = wanted; request > current; request = request / 5 * 4) {
        if (trySet(request))
            return request;
        if (errno != ENOMEM && errno != ENOBUFS)
            throw plat::SystemExceptionFmt("setsockopt(%s)", errno, optionName);
    }
    return current;
}

void setPmtuDiscovery(int fd, int family, bool on) {
    bool inet6 = family == AF_INET6;
    if (!inet6 && family != AF_INET)
        return;
    int level = inet6 ? IPPROTO_IPV6 : IPPROTO_IP;
    int option = inet6 ? IPV6_MTU_DISCOVER : IP_MTU_DISCOVER;
    int value = on ? IP_PMTUDISC_PROBE : IP_PMTUDISC_DONT;
    bool applied = ::setsockopt(fd, level, option, &value, sizeof value) == 0;
    if (!applied && on) {
        value = IP_PMTUDISC_DO;
        applied = ::setsockopt(fd, level, option, &value, sizeof value) == 0;
    }
    if (applied)
        return;
    const char* mode = on ? (inet6 ? "IPV6_PMTUDISC_DO" : "IP_PMTUDISC_DO")
                          : (inet6 ? "IPV6_PMTUDISC_DONT" : "IP_PMTUDISC_DONT");
    socketLog.debug(inet6 ? "setsockopt(IPV6_MTU_DISCOVER,%s): %s"
                          : "setsockopt(IP_MTU_DISCOVER,%s): %s",
                    mode, std::strerror(errno));
}

} // namespace io
