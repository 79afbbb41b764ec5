// Sockets on loopback addresses and in temporary directories: close-on-exec, the DSCP traffic
// class, buffer sizes, path-MTU discovery, failures that leave no descriptor, the one-time
// start-up and a blocking connect that a signal interrupts.
#include <io/SocketUtil.h>

#include <io/socketLayerState.h>

#include <support/RecordingLogDest.h>
#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <thread>

namespace {

using testsupport::raisedBy;

io::SocketAddress loopback(const char* host = "127.0.0.1") {
    return io::resolveNumeric(host, 0)[0];
}

plat::UniqueFd listening(const io::SocketAddress& address, int backlog = 4) {
    plat::UniqueFd fd = io::bindSocket(address, SOCK_STREAM, true);
    EXPECT_EQ(::listen(fd.get(), backlog), 0);
    return fd;
}

plat::UniqueFd connectedTo(int listener) {
    return io::connectSocket(io::SocketAddress::localOf(listener), SOCK_STREAM, true);
}

struct UnixAddress {
    explicit UnixAddress(const std::string& path) {
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&address); }
    sockaddr_un address{};
};

int intOption(int fd, int level, int option) {
    int value = -1;
    socklen_t length = sizeof value;
    EXPECT_EQ(::getsockopt(fd, level, option, &value, &length), 0);
    return value;
}

// DSCP marks datagram sockets and accepted ones, not the connecting side of a stream.
TEST(SocketUtil, EverySocketIsCloseOnExecAndDscpMarksDatagramAndAcceptedOnes) {
    io::setDscp(10);
    plat::UniqueFd udp4 = io::bindSocket(loopback(), SOCK_DGRAM, false);
    plat::UniqueFd udp6 = io::bindSocket(loopback("::1"), SOCK_DGRAM, false);
    plat::UniqueFd listener = listening(loopback());
    plat::UniqueFd client = connectedTo(listener.get());
    plat::UniqueFd accepted = io::acceptSocket(listener.get());
    io::setDscp(0);
    testsupport::TemporaryDirectory dir;
    UnixAddress path(dir.file("socket"));
    plat::UniqueFd unixListener =
        io::bindSocket(path.get(), sizeof path.address, SOCK_STREAM, false);
    ASSERT_EQ(::listen(unixListener.get(), 1), 0);
    plat::UniqueFd unixClient =
        io::connectSocket(path.get(), sizeof path.address, SOCK_STREAM, false);
    plat::UniqueFd unixAccepted = io::acceptSocket(unixListener.get());
    for (int fd : {udp4.get(), udp6.get(), listener.get(), client.get(), accepted.get(),
                   unixListener.get(), unixClient.get(), unixAccepted.get()})
        EXPECT_TRUE(::fcntl(fd, F_GETFD) & FD_CLOEXEC) << fd;
    EXPECT_TRUE(::fcntl(unixClient.get(), F_GETFL) & O_NONBLOCK);
    EXPECT_EQ(intOption(udp4.get(), IPPROTO_IP, IP_TOS), 40);
    EXPECT_EQ(intOption(udp6.get(), IPPROTO_IPV6, IPV6_TCLASS), 40);
    EXPECT_EQ(intOption(accepted.get(), IPPROTO_IP, IP_TOS), 40);
    EXPECT_EQ(intOption(client.get(), IPPROTO_IP, IP_TOS), 0);
}

TEST(SocketUtil, FailuresCloseTheSocketAndBadArgumentsKeepTheCloseOnExecFlag) {
    plat::UniqueFd listener = listening(loopback());
    plat::UniqueFd unusedPort = io::bindSocket(loopback(), SOCK_STREAM, false);
    testsupport::TemporaryDirectory dir;
    UnixAddress missing(dir.file("missing"));
    std::size_t before = testsupport::entriesOf("/proc/self/fd").size();
    EXPECT_EQ(raisedBy([&] {
                  io::bindSocket(io::SocketAddress::localOf(listener.get()), SOCK_STREAM, false);
              }).error,
              EADDRINUSE);
    EXPECT_EQ(raisedBy([&] { connectedTo(unusedPort.get()); }).error, ECONNREFUSED);
    EXPECT_EQ(raisedBy([&] {
                  io::connectSocket(missing.get(), sizeof missing.address, SOCK_STREAM, true);
              }).message,
              "connect: No such file or directory (2)");
    EXPECT_EQ(raisedBy([&] { io::acceptSocket(unusedPort.get()); }).error, EINVAL);
    EXPECT_FALSE(io::createSocket(AF_INET, 0x7ff, 0).valid());
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(testsupport::entriesOf("/proc/self/fd").size(), before);
    EXPECT_FALSE(io::socketCloexecUnsupported());
}

TEST(SocketUtil, BufferSizesOnlyGrowAndRefusedOnesShrinkByFifths) {
    plat::UniqueFd fd = io::createSocket(AF_INET, SOCK_STREAM, 0);
    int receive = intOption(fd.get(), SOL_SOCKET, SO_RCVBUF);
    int grown = io::setReceiveBufferSize(fd.get(), receive * 4);
    EXPECT_GT(grown, receive);
    EXPECT_EQ(grown, intOption(fd.get(), SOL_SOCKET, SO_RCVBUF));
    testsupport::LogRecording log("SocketUtil");
    EXPECT_EQ(io::setReceiveBufferSize(fd.get(), 1024), grown);
    EXPECT_TRUE(
        log.contains("Using receive buffer size of " + std::to_string(grown / 1024) + " KiB"));
    std::vector<int> tried;
    auto acceptUpTo = [&tried](int limit, int error) {
        return [&tried, limit, error](int size) {
            tried.push_back(size);
            errno = error;
            return size <= limit;
        };
    };
    EXPECT_EQ(io::negotiateBufferSize(100000, 1000000, "SO_RCVBUF", acceptUpTo(300000, ENOBUFS)),
              262144);
    EXPECT_EQ(tried, (std::vector<int>{1000000, 800000, 640000, 512000, 409600, 327680, 262144}));
    tried.clear();
    EXPECT_EQ(io::negotiateBufferSize(700000, 1000000, "SO_SNDBUF", acceptUpTo(0, ENOMEM)), 700000);
    EXPECT_EQ(tried, (std::vector<int>{1000000, 800000}));
    EXPECT_EQ(raisedBy([&] {
                  io::negotiateBufferSize(1, 10, "SO_SNDBUF", acceptUpTo(0, EPERM));
              }).message,
              "setsockopt(SO_SNDBUF): Operation not permitted (1)");
}

TEST(SocketUtil, PathMtuDiscoveryProbesWhenOnAndLogsWhatItCannotSet) {
    plat::UniqueFd fd = io::createSocket(AF_INET6, SOCK_DGRAM, 0);
    io::setPmtuDiscovery(fd.get(), AF_INET6, true);
    EXPECT_EQ(intOption(fd.get(), IPPROTO_IPV6, IPV6_MTU_DISCOVER), IPV6_PMTUDISC_PROBE);
    testsupport::LogRecording log("SocketUtil");
    io::setPmtuDiscovery(-1, AF_INET, false);
    EXPECT_TRUE(log.contains("setsockopt(IP_MTU_DISCOVER,IP_PMTUDISC_DONT): Bad file descriptor"));
}

// The limit and SIGPIPE belong to the process and the start-up runs once: the threadsafe death
// test style runs the body in a fresh process of its own.
TEST(SocketUtilDeathTest, StartUpIgnoresSigpipeAndLowersTheOpenFilesLimitOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto startUpInRacingThreads = [] {
        rlimit high{2048, 4096};
        if (::setrlimit(RLIMIT_NOFILE, &high) != 0 || std::signal(SIGPIPE, SIG_DFL) == SIG_ERR)
            std::_Exit(2);
        std::vector<std::thread> racers;
        for (int i = 0; i < 4; ++i)
            racers.emplace_back([] { io::createSocket(AF_INET, SOCK_DGRAM, 0); });
        for (std::thread& racer : racers)
            racer.join();
        rlimit now{};
        rlimit kept{};
        ::getrlimit(RLIMIT_NOFILE, &now);
        bool keptOriginal = io::keptOpenFilesLimit(kept) && kept.rlim_cur == 2048;
        bool ignored = std::signal(SIGPIPE, SIG_DFL) == SIG_IGN;
        std::_Exit(now.rlim_cur == 1024 && now.rlim_max == 4096 && keptOriginal && ignored ? 0 : 1);
    };
    EXPECT_EXIT(startUpInRacingThreads(), ::testing::ExitedWithCode(0), "");
}

// A full accept queue drops the connecting SYN, so the connect blocks until there is room and
// the SYN is sent again. The signal handler holds the thread while the connection is made.
int handlerEntered[2];
int handlerRelease[2];

void holdingHandler(int) {
    char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(handlerEntered[1], &byte, 1);
    [[maybe_unused]] ssize_t got = ::read(handlerRelease[0], &byte, 1);
}

bool blockedInConnect(pid_t thread) {
    std::string path = "/proc/self/task/" + std::to_string(thread) + "/syscall";
    return testsupport::readFile(path).rfind(std::to_string(SYS_connect) + " ", 0) == 0;
}

TEST(SocketUtil, ABlockingConnectInterruptedByASignalStillConnects) {
    ASSERT_EQ(::pipe(handlerEntered), 0);
    ASSERT_EQ(::pipe(handlerRelease), 0);
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_handler = holdingHandler;
    ASSERT_EQ(::sigaction(SIGUSR1, &action, &previous), 0);
    plat::UniqueFd listener = listening(loopback(), 0);
    plat::UniqueFd filling = connectedTo(listener.get());
    std::atomic<pid_t> thread{0};
    plat::UniqueFd connected;
    std::string failure;
    std::thread connecting([&] {
        thread = pid_t(::syscall(SYS_gettid));
        try {
            connected = connectedTo(listener.get());
        } catch (const plat::Exception& e) {
            failure = e.message();
        }
    });
    for (int i = 0; i < 60000 && !(thread && blockedInConnect(thread)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(blockedInConnect(thread));
    ::syscall(SYS_tgkill, ::getpid(), pid_t(thread), SIGUSR1);
    char byte = 'x';
    ASSERT_EQ(::read(handlerEntered[0], &byte, 1), 1);
    plat::UniqueFd first = io::acceptSocket(listener.get());
    plat::UniqueFd second = io::acceptSocket(listener.get());
    ASSERT_EQ(::write(handlerRelease[1], &byte, 1), 1);
    connecting.join();
    ::sigaction(SIGUSR1, &previous, nullptr);
    for (int fd : {handlerEntered[0], handlerEntered[1], handlerRelease[0], handlerRelease[1]})
        ::close(fd);
    EXPECT_EQ(failure, "");
    ASSERT_EQ(::write(connected.get(), "c", 1), 1);
    EXPECT_EQ(::read(second.get(), &byte, 1), 1);
    EXPECT_EQ(byte, 'c');
}

} // namespace
