// Descriptor input: end of stream, read time-outs, the select limit, ownership and moving.
#include <rdr/Exception.h>
#include <rdr/FdInStream.h>

#include <plat/Exception.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>

namespace {

using testsupport::Raised;
using testsupport::raisedBy;

class FdInStreamTest : public ::testing::Test {
protected:
    void openPipe(int flags) { ASSERT_EQ(pipe2(fds, O_CLOEXEC | flags), 0); }
    void TearDown() override {
        for (int fd : fds)
            if (fd >= 0)
                close(fd);
    }
    // Takes an end out of the fixture's care, for a stream that owns it or an early close.
    int releaseEnd(int index) { return std::exchange(fds[index], -1); }

    int fds[2] = {-1, -1};
};

void expectTimedOut(rdr::FdInStream& in) {
    Raised raised = raisedBy<plat::TimedOut>([&] { in.readU8(); });
    EXPECT_EQ(raised.message, "Timed out");
    EXPECT_EQ(raised.type, "TimedOut");
}

TEST_F(FdInStreamTest, ReadsWhatThePeerWroteThenEndOfIoStream) {
    openPipe(0);
    ASSERT_EQ(write(fds[1], "\x01\x02\x03\x04z", 5), 5);
    close(releaseEnd(1));
    rdr::FdInStream in(fds[0]);
    EXPECT_EQ(in.readU32(), 0x01020304u);
    EXPECT_EQ(in.readU8(), 'z');
    EXPECT_EQ(raisedBy<rdr::EndOfStream>([&] { in.readU8(); }).message, "End of IO stream");
}

TEST_F(FdInStreamTest, TimeOutAppliesToEitherModeAndStaysTimedOut) {
    for (int flags : {0, O_NONBLOCK}) {
        SCOPED_TRACE(flags);
        TearDown();
        openPipe(flags);
        rdr::FdInStream in(fds[0]);
        in.setTimeout(100);
        expectTimedOut(in);
        EXPECT_TRUE(in.timedOut());
        ASSERT_EQ(write(fds[1], "late", 4), 4);
        expectTimedOut(in);
    }
}

TEST_F(FdInStreamTest, DescriptorAbove1023CannotBeWaitedOn) {
    openPipe(O_NONBLOCK);
    rlimit limit;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    if (limit.rlim_cur <= 1024) {
        rlimit raised = limit;
        raised.rlim_cur = std::min<rlim_t>(2048, limit.rlim_max);
        if (raised.rlim_cur <= 1024 || setrlimit(RLIMIT_NOFILE, &raised) != 0)
            GTEST_SKIP() << "cannot open descriptor 1024";
    }
    int high = fcntl(fds[0], F_DUPFD_CLOEXEC, 1024);
    ASSERT_GE(high, 1024);
    {
        rdr::FdInStreamOwn in(high);
        Raised raised = raisedBy<plat::SystemException>([&] { in.readU8(); });
        EXPECT_EQ(raised.error, EMFILE);
        EXPECT_TRUE(raised.startsWith("select: ")) << raised.message;
    }
    setrlimit(RLIMIT_NOFILE, &limit);
}

TEST_F(FdInStreamTest, ReadFailureRaisesSystemException) {
    rdr::FdInStream in(987);
    Raised raised = raisedBy<plat::SystemException>([&] { in.readU8(); });
    EXPECT_EQ(raised.error, EBADF);
    EXPECT_TRUE(raised.startsWith("read: ")) << raised.message;
}

TEST_F(FdInStreamTest, MovedStreamKeepsBufferedBytesSettingsAndOwnership) {
    openPipe(0);
    ASSERT_EQ(write(fds[1], "abcdef", 6), 6);
    int readEnd = releaseEnd(0);
    {
        rdr::FdInStreamOwn original(readEnd);
        original.setTimeout(100);
        EXPECT_EQ(original.readU8(), 'a');
        rdr::FdInStreamOwn moved(std::move(original));
        EXPECT_EQ(original.getFd(), -1);
        EXPECT_EQ(moved.timeout(), 100);
        char rest[5];
        moved.readBytesInto(rest, 5);
        EXPECT_EQ(std::string(rest, 5), "bcdef");
        expectTimedOut(moved);
    }
    EXPECT_EQ(fcntl(readEnd, F_GETFD), -1) << "the owner closed the descriptor";
    EXPECT_EQ(errno, EBADF);
}

} // namespace
