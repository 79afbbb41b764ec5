// Sockets on loopback addresses and in temporary directories: close-on-exec, the DSCP traffic
// class, buffer sizes, path-MTU discovery, failures that leave no descriptor, the one-time start-up
// and a blocking connect that a signal interrupts.
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

io::SocketAddress loopback(const char* host = "127.0.0.1", int port = 0) {
    return io::resolveNumeric(host, port)[0];
}

plat::UniqueFd listening(const io::SocketAddress& address, int backlog = 4) {
    plat::UniqueFd fd = io::bindSocket(address, SOCK_STREAM, false);
    EXPECT_EQ(::listen(fd.get(), backlog), 0);
    return fd;
}

sockaddr_un unixAddress(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return address;
}

const sockaddr* raw(const sockaddr_un& address) {
    return reinterpret_cast<const sockaddr*>(&address);
}

bool isCloseOnExec(int fd) {
    return (::fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0;
}

int intOption(int fd, int level, int option) {
    int value = -1;
    socklen_t length = sizeof value;
    EXPECT_EQ(::getsockopt(fd, level, option, &value, &length), 0);
    return value;
}

std::size_t openDescriptors() {
    return testsupport::entriesOf("/proc/self/fd").size();
}

struct DscpReset {
    ~DscpReset() { io::setDscp(0); }
};

TEST(SocketUtil, EverySocketIsCloseOnExec) {
    plat::UniqueFd listener = io::bindSocket(loopback("::1"), SOCK_STREAM, true);
    ASSERT_EQ(::listen(listener.get(), 1), 0);
    plat::UniqueFd client =
        io::connectSocket(io::SocketAddress::localOf(listener.get()), SOCK_STREAM, true);
    plat::UniqueFd accepted = io::acceptSocket(listener.get());
    testsupport::TemporaryDirectory dir;
    sockaddr_un path = unixAddress(dir.file("socket"));
    plat::UniqueFd unixListener = io::bindSocket(raw(path), sizeof path, SOCK_STREAM, false);
    ASSERT_EQ(::listen(unixListener.get(), 1), 0);
    plat::UniqueFd unixClient = io::connectSocket(raw(path), sizeof path, SOCK_STREAM, false);
    plat::UniqueFd unixAccepted = io::acceptSocket(unixListener.get());
    plat::UniqueFd datagram = io::createSocket(AF_INET6, SOCK_DGRAM, 0);
    for (const plat::UniqueFd* fd :
         {&listener, &client, &accepted, &unixListener, &unixClient, &unixAccepted, &datagram}) {
        ASSERT_TRUE(fd->valid());
        EXPECT_TRUE(isCloseOnExec(fd->get())) << fd->get();
    }
    EXPECT_TRUE(::fcntl(unixClient.get(), F_GETFL) & O_NONBLOCK);
    EXPECT_FALSE(io::socketCloexecUnsupported());
}

TEST(SocketUtil, FailuresCloseTheSocketAndBadArgumentsDoNotDisableTheCloseOnExecFlag) {
    plat::UniqueFd listener = listening(loopback());
    io::SocketAddress taken = io::SocketAddress::localOf(listener.get());
    plat::UniqueFd unusedPort = io::bindSocket(loopback(), SOCK_STREAM, false);
    io::SocketAddress refused = io::SocketAddress::localOf(unusedPort.get());
    testsupport::TemporaryDirectory dir;
    sockaddr_un missing = unixAddress(dir.file("missing"));
    std::size_t before = openDescriptors();
    EXPECT_EQ(raisedBy([&] { io::bindSocket(taken, SOCK_STREAM, false); }).error, EADDRINUSE);
    EXPECT_EQ(raisedBy([&] { io::connectSocket(refused, SOCK_STREAM, true); }).error, ECONNREFUSED);
    EXPECT_TRUE(raisedBy([&] {
                    io::connectSocket(raw(missing), sizeof missing, SOCK_STREAM, true);
                }).startsWith("connect: "));
    EXPECT_EQ(raisedBy([&] { io::acceptSocket(unusedPort.get()); }).error, EINVAL);
    EXPECT_FALSE(io::createSocket(AF_INET, 0x7ff, 0).valid());
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_FALSE(io::socketCloexecUnsupported());
}

TEST(SocketUtil, DscpSetsTheTrafficClassOfDatagramAndAcceptedSockets) {
    DscpReset reset;
    io::setDscp(10);
    plat::UniqueFd udp4 = io::bindSocket(loopback(), SOCK_DGRAM, false);
    plat::UniqueFd udp6 = io::bindSocket(loopback("::1"), SOCK_DGRAM, false);
    plat::UniqueFd connectedUdp =
        io::connectSocket(io::SocketAddress::localOf(udp4.get()), SOCK_DGRAM, true);
    plat::UniqueFd listener = listening(loopback());
    plat::UniqueFd client =
        io::connectSocket(io::SocketAddress::localOf(listener.get()), SOCK_STREAM, true);
    plat::UniqueFd accepted = io::acceptSocket(listener.get());
    EXPECT_EQ(intOption(udp4.get(), IPPROTO_IP, IP_TOS), 40);
    EXPECT_EQ(intOption(udp6.get(), IPPROTO_IPV6, IPV6_TCLASS), 40);
    EXPECT_EQ(intOption(connectedUdp.get(), IPPROTO_IP, IP_TOS), 40);
    EXPECT_EQ(intOption(accepted.get(), IPPROTO_IP, IP_TOS), 40);
    EXPECT_EQ(intOption(client.get(), IPPROTO_IP, IP_TOS), 0);
    EXPECT_EQ(intOption(listener.get(), IPPROTO_IP, IP_TOS), 0);
}

TEST(SocketUtil, BufferSizesOnlyGrowAndAreReadBack) {
    plat::UniqueFd fd = io::createSocket(AF_INET, SOCK_STREAM, 0);
    int receive = intOption(fd.get(), SOL_SOCKET, SO_RCVBUF);
    int grown = io::setReceiveBufferSize(fd.get(), receive * 4);
    EXPECT_GT(grown, receive);
    EXPECT_EQ(grown, intOption(fd.get(), SOL_SOCKET, SO_RCVBUF));
    EXPECT_EQ(io::setReceiveBufferSize(fd.get(), 1024), grown);
    int send = intOption(fd.get(), SOL_SOCKET, SO_SNDBUF);
    testsupport::LogRecording log("SocketUtil");
    EXPECT_EQ(io::setSendBufferSize(fd.get(), 1), send);
    EXPECT_TRUE(log.contains("Using send buffer size of " + std::to_string(send / 1024) + " KiB"));
    EXPECT_TRUE(
        raisedBy([] { io::setSendBufferSize(-1, 1); }).startsWith("getsockopt(SO_SNDBUF): "));
}

TEST(SocketUtil, RefusedBufferSizesShrinkByFifthsUntilTheyWouldNotGrowTheBuffer) {
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
    EXPECT_EQ(io::negotiateBufferSize(700000, 1000000, "SO_RCVBUF", acceptUpTo(0, ENOMEM)), 700000);
    EXPECT_EQ(tried, (std::vector<int>{1000000, 800000}));
    EXPECT_EQ(raisedBy([&] {
                  io::negotiateBufferSize(1, 10, "SO_SNDBUF", acceptUpTo(0, EPERM));
              }).message,
              "setsockopt(SO_SNDBUF): Operation not permitted (1)");
}

TEST(SocketUtil, PathMtuDiscoveryProbesWhenOnAndLogsWhatItCannotSet) {
    for (auto [family, level, option] : {std::tuple{AF_INET, IPPROTO_IP, IP_MTU_DISCOVER},
                                         std::tuple{AF_INET6, IPPROTO_IPV6, IPV6_MTU_DISCOVER}}) {
        plat::UniqueFd fd = io::createSocket(family, SOCK_DGRAM, 0);
        io::setPmtuDiscovery(fd.get(), family, true);
        EXPECT_EQ(intOption(fd.get(), level, option), IP_PMTUDISC_PROBE);
        io::setPmtuDiscovery(fd.get(), family, false);
        EXPECT_EQ(intOption(fd.get(), level, option), IP_PMTUDISC_DONT);
    }
    testsupport::LogRecording log("SocketUtil");
    io::setPmtuDiscovery(-1, AF_INET6, true);
    io::setPmtuDiscovery(-1, AF_INET, false);
    EXPECT_TRUE(log.contains("setsockopt(IPV6_MTU_DISCOVER,IPV6_PMTUDISC_DO): Bad file descriptor"))
        << log.dump();
    EXPECT_TRUE(log.contains("setsockopt(IP_MTU_DISCOVER,IP_PMTUDISC_DONT): Bad file descriptor"));
}

// The limit and SIGPIPE belong to the process, and the start-up runs once: the threadsafe death
// test style runs the body in a fresh process of its own.
TEST(SocketUtilDeathTest, StartUpIgnoresSigpipeAndLowersTheOpenFilesLimitForSelect) {
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
        struct sigaction pipeAction {};
        ::sigaction(SIGPIPE, nullptr, &pipeAction);
        bool keptOriginal = io::keptOpenFilesLimit(kept) && kept.rlim_cur == 2048;
        bool lowered = now.rlim_cur == 1024 && now.rlim_max == 4096;
        std::_Exit(lowered && keptOriginal && pipeAction.sa_handler == SIG_IGN ? 0 : 1);
    };
    EXPECT_EXIT(startUpInRacingThreads(), ::testing::ExitedWithCode(0), "");
}

// A full accept queue drops the connecting SYN, so the connect blocks until the queue has room
// and the SYN is sent again. The signal handler holds the connecting thread until the
// connection has been made behind its back.
class InterruptedConnect : public ::testing::Test {
protected:
    static void onSignal(int) {
        char byte = 1;
        [[maybe_unused]] ssize_t written = ::write(entered[1], &byte, 1);
        [[maybe_unused]] ssize_t got = ::read(release[0], &byte, 1);
    }

    void SetUp() override {
        ASSERT_EQ(::pipe(entered), 0);
        ASSERT_EQ(::pipe(release), 0);
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        ASSERT_EQ(::sigaction(SIGUSR1, &action, &previous), 0);
    }

    void TearDown() override {
        ::sigaction(SIGUSR1, &previous, nullptr);
        for (int fd : {entered[0], entered[1], release[0], release[1]})
            ::close(fd);
    }

    static bool blockedInConnect(pid_t thread) {
        std::string path = "/proc/self/task/" + std::to_string(thread) + "/syscall";
        return testsupport::readFile(path).rfind(std::to_string(SYS_connect) + " ", 0) == 0;
    }

    static inline int entered[2];
    static inline int release[2];
    struct sigaction previous {};
};

TEST_F(InterruptedConnect, BlockingConnectGoesOnAfterTheSignal) {
    plat::UniqueFd listener = listening(loopback(), 0);
    io::SocketAddress address = io::SocketAddress::localOf(listener.get());
    plat::UniqueFd first = io::connectSocket(address, SOCK_STREAM, true);
    std::atomic<pid_t> connectingThread{0};
    plat::UniqueFd connected;
    std::string failure;
    std::thread connecting([&] {
        connectingThread = pid_t(::syscall(SYS_gettid));
        try {
            connected = io::connectSocket(address, SOCK_STREAM, true);
        } catch (const plat::Exception& e) {
            failure = e.message();
        }
    });
    for (int i = 0; i < 60000 && !(connectingThread && blockedInConnect(connectingThread)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(blockedInConnect(connectingThread));
    ::syscall(SYS_tgkill, ::getpid(), pid_t(connectingThread), SIGUSR1);
    char byte;
    ASSERT_EQ(::read(entered[0], &byte, 1), 1);
    plat::UniqueFd firstAccepted = io::acceptSocket(listener.get());
    plat::UniqueFd secondAccepted = io::acceptSocket(listener.get());
    ASSERT_EQ(::write(release[1], &byte, 1), 1);
    connecting.join();
    EXPECT_EQ(failure, "");
    ASSERT_TRUE(connected.valid());
    ASSERT_EQ(::write(connected.get(), "x", 1), 1);
    EXPECT_EQ(::read(secondAccepted.get(), &byte, 1), 1);
    EXPECT_EQ(byte, 'x');
}

} // namespace
