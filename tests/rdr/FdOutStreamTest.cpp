// Descriptor output: delivery, the callback, a full pipe, write errors with and without
// exceptions, shutdown and destruction.
#include <rdr/FdOutStream.h>

#include <plat/Exception.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using testsupport::Raised;
using testsupport::raisedBy;

class RecordingCallback : public rdr::FdOutStream::Callback {
public:
    void written(rdr::FdOutStream&, bool wroteNothing) override {
        ++writes;
        if (wroteNothing)
            ++emptyWrites;
    }
    void shutdownRequested(rdr::FdOutStream&) override { ++shutdowns; }

    int writes = 0;
    int emptyWrites = 0;
    int shutdowns = 0;
};

// Writing to a pipe without reader must fail with EPIPE rather than kill the test.
class IgnoreSigpipe {
public:
    IgnoreSigpipe() { previous = std::signal(SIGPIPE, SIG_IGN); }
    ~IgnoreSigpipe() { std::signal(SIGPIPE, previous); }

private:
    void (*previous)(int);
};

class FdOutStreamTest : public ::testing::Test {
protected:
    void openPipe(int flags) { ASSERT_EQ(pipe2(fds, O_CLOEXEC | flags), 0); }
    void TearDown() override {
        for (int fd : fds)
            if (fd >= 0)
                close(fd);
    }
    void closeEnd(int index) {
        close(fds[index]);
        fds[index] = -1;
    }
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

TEST_F(FdOutStreamTest, FlushDeliversAndTellsTheCallback) {
    openPipe(0);
    RecordingCallback callback;
    rdr::FdOutStream out(fds[1]);
    out.setCallback(&callback);
    out.writeU32(0x41424344);
    out.writeBytes("EF", 2);
    EXPECT_TRUE(out.flush());
    closeEnd(1);
    EXPECT_EQ(drain(), "ABCDEF");
    EXPECT_EQ(callback.writes, 1);
    EXPECT_EQ(callback.emptyWrites, 0);
    EXPECT_EQ(out.length(), 6);
}

TEST_F(FdOutStreamTest, LazyStreamOnFullPipeKeepsBytesPending) {
    openPipe(O_NONBLOCK);
    RecordingCallback callback;
    rdr::FdOutStream out(fds[1], 1 << 22);
    out.setCallback(&callback);
    out.setLazy(true);
    std::string data(1 << 20, 'p');
    out.writeBytes(data.data(), int(data.size()));
    EXPECT_FALSE(out.flush());
    EXPECT_GT(out.bufferedBytes(), 0);
    EXPECT_GT(callback.emptyWrites, 0);

    std::string received = drain();
    while (out.bufferedBytes() > 0) {
        out.tryFlush(false);
        received += drain();
    }
    EXPECT_EQ(received, data);
}

TEST_F(FdOutStreamTest, WaitingWriteOnFullPipeTimesOut) {
    openPipe(O_NONBLOCK);
    rdr::FdOutStream out(fds[1], 65536);
    out.setWriteTimeout(100);
    std::string data(1 << 20, 't');
    EXPECT_EQ(
        raisedBy<plat::TimedOut>([&] { out.writeBytes(data.data(), int(data.size())); }).message,
        "Timed out");
}

TEST_F(FdOutStreamTest, WriteErrorIsRaisedWhenTheStreamThrowsErrors) {
    IgnoreSigpipe guard;
    openPipe(0);
    closeEnd(0);
    rdr::FdOutStream out(fds[1]);
    out.writeU8(1);
    Raised raised = raisedBy<plat::SystemException>([&] { out.flush(); });
    EXPECT_EQ(raised.error, EPIPE);
    EXPECT_TRUE(raised.startsWith("write: ")) << raised.message;
}

TEST_F(FdOutStreamTest, WriteErrorOnQuietLazyStreamKeepsBytesPending) {
    IgnoreSigpipe guard;
    openPipe(0);
    closeEnd(0);
    rdr::FdOutStream out(fds[1]);
    out.setThrowErrors(false);
    out.setLazy(true);
    out.writeBytes("abc", 3);
    EXPECT_FALSE(out.flush());
    EXPECT_EQ(out.bufferedBytes(), 3);
}

TEST_F(FdOutStreamTest, QuietStreamStillFailsWhenItMustWaitForAFailingWrite) {
    IgnoreSigpipe guard;
    openPipe(0);
    closeEnd(0);
    rdr::FdOutStream out(fds[1], 16384);
    out.setThrowErrors(false);
    out.setLazy(true);
    std::string data(40000, 'x');
    EXPECT_THROW(out.writeBytes(data.data(), int(data.size())), plat::SystemException);
}

TEST(FdOutStreamShutdown, ShutsDownAtOnceWhenNothingIsPending) {
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
    RecordingCallback callback;
    {
        rdr::FdOutStream out(pair[0], -1, true);
        out.setCallback(&callback);
        out.writeBytes("bye", 3);
        out.flush();
        EXPECT_TRUE(out.shutdown());
    }
    EXPECT_EQ(callback.shutdowns, 1);
    char buffer[8];
    EXPECT_EQ(read(pair[1], buffer, sizeof buffer), 3);
    EXPECT_EQ(read(pair[1], buffer, sizeof buffer), 0) << "the writing direction is shut";
    close(pair[1]);
}

TEST(FdOutStreamShutdown, PendingBytesKeepTheSocketOpen) {
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
    RecordingCallback callback;
    rdr::FdOutStream out(pair[0], -1, true);
    out.setCallback(&callback);
    out.writeBytes("later", 5);
    EXPECT_TRUE(out.shutdown());
    EXPECT_EQ(callback.shutdowns, 1);
    out.setCallback(nullptr);
    EXPECT_TRUE(out.flush());
    char buffer[8];
    EXPECT_EQ(read(pair[1], buffer, sizeof buffer), 5);
    close(pair[1]);
}

TEST_F(FdOutStreamTest, DestructionFlushesAndClosesAnOwnedDescriptor) {
    openPipe(0);
    int writeEnd = fds[1];
    fds[1] = -1;
    {
        rdr::FdOutStream out(writeEnd, -1, true);
        out.writeBytes("tail", 4);
    }
    EXPECT_EQ(drain(), "tail") << "EOF after the bytes proves the descriptor was closed";
}

} // namespace
