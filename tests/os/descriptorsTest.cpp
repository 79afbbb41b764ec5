// Descriptor helpers: close-on-exec duplication, status flags, bulk closing and the standard
// descriptors. The process launching tests use the pipes and socket pairs.
#include "support/osTestSupport.h"

#include <os/unix/descriptors.h>

#include <plat/Exception.h>

#include <support/TemporaryDirectory.h>
#include <support/forkedChild.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testsupport::Raised;
using testsupport::raisedBy;

bool isCloseOnExec(int fd) {
    return (::fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0;
}

bool isOpen(int fd) {
    struct stat info;
    return ::fstat(fd, &info) == 0;
}

TEST(CloseOnExec, CopiesHaveItAndInheritanceSetsAndClearsIt) {
    plat::UniqueFd plain(::open("/dev/null", O_RDONLY));
    plat::UniqueFd copy(os::dupCloseOnExec(plain.get()));
    EXPECT_TRUE(isCloseOnExec(copy.get()));
    plat::UniqueFd target(::open("/dev/null", O_RDONLY));
    ASSERT_TRUE(os::dup2CloseOnExec(plain.get(), target.get()));
    EXPECT_TRUE(isCloseOnExec(target.get()));

    ASSERT_TRUE(os::setInheritable(copy.get(), true, false));
    EXPECT_FALSE(isCloseOnExec(copy.get()));
    ASSERT_TRUE(os::setInheritable(copy.get(), false, false));
    EXPECT_TRUE(isCloseOnExec(copy.get()));
}

TEST(DescriptorFailures, ReportedThroughErrnoOrRaised) {
    EXPECT_THROW(os::dupCloseOnExec(-1), plat::SystemException);
    Raised raised = raisedBy<plat::SystemException>([&] { os::setBlocking(-1, true); });
    EXPECT_TRUE(raised.startsWith("setBlocking: ")) << raised.message;
    errno = 0;
    EXPECT_FALSE(os::setInheritable(-1, true, true));
    EXPECT_EQ(errno, EBADF);
    plat::UniqueFd fd(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    errno = 0;
    EXPECT_FALSE(os::dup2CloseOnExec(fd.get(), fd.get()));
    EXPECT_EQ(errno, EINVAL);
}

TEST(Blocking, SwitchingNonBlockingKeepsAppendMode) {
    testsupport::TemporaryDirectory dir;
    plat::UniqueFd fd(
        ::open(dir.file("log").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600));
    os::setBlocking(fd.get(), false);
    EXPECT_TRUE(::fcntl(fd.get(), F_GETFL) & O_NONBLOCK);
    os::setBlocking(fd.get(), true);
    int flags = ::fcntl(fd.get(), F_GETFL);
    EXPECT_FALSE(flags & O_NONBLOCK);
    EXPECT_TRUE(flags & O_APPEND);
}

// Closing runs in a forked child so that the test process keeps its descriptors.
TEST(CloseFrom, ClosesEverythingFromTheNumberUpButTheKeptDescriptors) {
    int status = testsupport::exitStatusOfForkedChild([] {
        int base = ::open("/dev/null", O_RDONLY);
        for (int fd : {20, 21, 22, 50, 51, 400})
            ::dup2(base, fd);
        os::closeFromExcept(20, std::set<int>{3, 21, 50});
        bool keptOpen = isOpen(base) && isOpen(21) && isOpen(50);
        bool othersClosed = !isOpen(20) && !isOpen(22) && !isOpen(51) && !isOpen(400);
        return keptOpen && othersClosed && ostest::countOpenDescriptorsFrom(51) == 0 ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
}

TEST(StandardDescriptors, MissingOnesBecomeDevNull) {
    int status = testsupport::exitStatusOfForkedChild([] {
        ::close(0);
        ::close(2);
        int openAbove = ostest::countOpenDescriptorsFrom(3);
        os::ensureStdDescriptors();
        char link[64] = {};
        for (int fd : {0, 2}) {
            std::string path = "/proc/self/fd/" + std::to_string(fd);
            ssize_t length = ::readlink(path.c_str(), link, sizeof link - 1);
            if (length < 0 || std::string(link, std::size_t(length)) != "/dev/null" ||
                isCloseOnExec(fd))
                return 1;
        }
        return ostest::countOpenDescriptorsFrom(3) == openAbove ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
}

} // namespace
