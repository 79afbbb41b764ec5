// Descriptor output: a full pipe, write errors with and without exceptions, and destruction.
#include <rdr/FdOutStream.h>

#include <plat/Exception.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

using testsupport::Raised;
using testsupport::raisedBy;

// Writing to a pipe without reader must fail with EPIPE rather than kill the test; the guard
// outlives the streams, whose destructors still try to write.
class IgnoreSigpipe {
public:
    IgnoreSigpipe() : previous(std::signal(SIGPIPE, SIG_IGN)) {}
    ~IgnoreSigpipe() { std::signal(SIGPIPE, previous); }

private:
    void (*previous)(int);
};

// fds is a pipe; the stream's end is fds[1].
class FdOutStreamTest : public ::testing::Test {
protected:
    void openPipe(int flags) { ASSERT_EQ(pipe2(fds, O_CLOEXEC | flags), 0); }
    void TearDown() override {
        for (int fd : fds)
            if (fd >= 0)
                close(fd);
    }
    // Hands an end over to a stream that owns it.
    int releaseEnd(int index) { return std::exchange(fds[index], -1); }
    std::string drain() {
        std::string bytes;
        char buffer[4096];
        ssize_t count;
        while ((count = read(fds[0], buffer, sizeof buffer)) > 0)
            bytes.append(buffer, std::size_t(count));
        return bytes;
    }

    int fds[2] = {-1, -1};
};

TEST_F(FdOutStreamTest, WaitingWriteOnFullPipeTimesOut) {
    openPipe(O_NONBLOCK);
    rdr::FdOutStream out(fds[1], 65536);
    out.setWriteTimeout(100);
    std::string data(1 << 20, 't');
    EXPECT_EQ(
        raisedBy<plat::TimedOut>([&] { out.writeBytes(data.data(), int(data.size())); }).message,
        "Timed out");
}

TEST_F(FdOutStreamTest, WriteErrorsRaiseUnlessAQuietLazyStreamNeedNotWait) {
    IgnoreSigpipe guard;
    openPipe(0);
    close(releaseEnd(0));
    rdr::FdOutStream loud(fds[1]);
    loud.writeU8(1);
    Raised raised = raisedBy<plat::SystemException>([&] { loud.flush(); });
    EXPECT_EQ(raised.error, EPIPE);
    EXPECT_TRUE(raised.startsWith("write: ")) << raised.message;

    rdr::FdOutStream quiet(fds[1], 16384);
    quiet.setThrowErrors(false);
    quiet.setLazy(true);
    quiet.writeBytes("abc", 3);
    EXPECT_FALSE(quiet.flush());
    EXPECT_EQ(quiet.bufferedBytes(), 3) << "the bytes stay pending";
    std::string data(40000, 'x');
    EXPECT_THROW(quiet.writeBytes(data.data(), int(data.size())), plat::SystemException)
        << "a write that must wait for room still fails";
}

TEST_F(FdOutStreamTest, DestructionFlushesAndClosesAnOwnedDescriptor) {
    openPipe(0);
    {
        rdr::FdOutStream out(releaseEnd(1), -1, true);
        out.writeBytes("tail", 4);
    }
    EXPECT_EQ(drain(), "tail") << "EOF after the bytes proves the descriptor was closed";
}

} // namespace
