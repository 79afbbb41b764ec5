// Lock files: taking, refusing and testing across processes, contents, removal on release by
// inode.
#include <os/unix/LockFile.h>

#include <plat/Exception.h>

#include <support/LogCapture.h>
#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>
#include <support/forkedChild.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/resource.h>

namespace {

using testsupport::exists;
using testsupport::modeOf;
using testsupport::readFile;

class LockFileTest : public ::testing::Test {
protected:
    // Exit status 1 when a LockFile made in another process holds (or sees held) the lock.
    int heldInOtherProcess(bool testOnly) {
        return testsupport::exitStatusOfForkedChild([&] {
            os::LockFile other(path.c_str(), "other", testOnly, false);
            return other.isHeld() ? 1 : 0;
        });
    }

    testsupport::TemporaryDirectory dir;
    const std::string path = dir.file("lock");
};

TEST_F(LockFileTest, OpenFailureRaisesWithThePath) {
    std::string missing = dir.file("missing/lock");
    testsupport::Raised raised = testsupport::raisedBy<plat::SystemException>(
        [&] { os::LockFile lock(missing.c_str(), "x", false, false); });
    EXPECT_EQ(raised.error, ENOENT);
    EXPECT_TRUE(raised.startsWith("open(" + missing + "): ")) << raised.message;
}

TEST_F(LockFileTest, UnwritableContentsAreLoggedAndTheLockIsKept) {
    int status = testsupport::exitStatusOfForkedChild([&] {
        // Writing past the file-size limit fails with EFBIG instead of killing the child; the
        // limit leaves room for the captured log line.
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        testsupport::LogCapture capture("*:stderr:100");
        std::string contents(3 * 4096, 'x');
        os::LockFile lock(path.c_str(), contents.c_str(), false, false);
        bool reported = capture.contains("LockFile: Failed to write lockfile contents: ");
        return (reported ? 1 : 0) | (lock.isHeld() ? 2 : 0);
    });
    EXPECT_EQ(status, 3);
}

TEST_F(LockFileTest, TakerReplacesStaleContentsAndASecondProcessIsRefusedUntilRelease) {
    testsupport::writeFile(path, "a much longer stale text", 0644);
    {
        os::LockFile lock(path.c_str(), "owner", false, false);
        ASSERT_TRUE(lock.isHeld());
        EXPECT_EQ(heldInOtherProcess(false), 0);
        EXPECT_EQ(heldInOtherProcess(true), 1);
        EXPECT_EQ(readFile(path), "owner");
    }
    EXPECT_EQ(heldInOtherProcess(true), 0);
    EXPECT_EQ(heldInOtherProcess(false), 1);
}

TEST_F(LockFileTest, TestingNeitherCreatesNorWritesNorRemoves) {
    {
        os::LockFile probe(path.c_str(), nullptr, true, false);
        EXPECT_FALSE(probe.isHeld());
    }
    EXPECT_FALSE(exists(path));
    testsupport::writeFile(path, "stale", 0644);
    {
        os::LockFile probe(path.c_str(), "ignored", true, false);
        EXPECT_FALSE(probe.isHeld());
        probe.release();
    }
    EXPECT_EQ(readFile(path), "stale");
}

TEST_F(LockFileTest, ReleaseRemovesTheRenamedFileAndSparesItsReplacement) {
    std::string moved = dir.file("lock.moved");
    {
        os::LockFile lock(path.c_str(), "x", false, false);
        ASSERT_EQ(std::rename(path.c_str(), moved.c_str()), 0);
        testsupport::writeFile(path, "newcomer", 0644);
    }
    EXPECT_FALSE(exists(moved));
    EXPECT_EQ(readFile(path), "newcomer");
}

} // namespace
