// Lock files: taking, refusing and testing across processes, contents and modes, removal on
// release by inode.
#include "support/osTestSupport.h"

#include <os/unix/LockFile.h>

#include <plat/Exception.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

int modeOf(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

// Exit status 1 when a LockFile made in another process holds (or sees held) the lock.
int heldInOtherProcess(const std::string& path, bool testOnly) {
    return ostest::exitStatusOfForkedChild([&] {
        os::LockFile other(path.c_str(), "other", testOnly, false);
        return other.isHeld() ? 1 : 0;
    });
}

TEST(LockTaking, WritesContentsOverWhatWasThere) {
    ostest::TemporaryDirectory dir;
    std::string path = dir.file("lock");
    ostest::writeFile(path, "a much longer stale text", 0644);
    os::LockFile lock(path.c_str(), "1234\n", false, false);
    EXPECT_TRUE(lock.isHeld());
    EXPECT_EQ(ostest::readFile(path), "1234\n");
}

TEST(LockTaking, ModeIsPrivateOrReadableByAllWhateverTheUmask) {
    ostest::TemporaryDirectory dir;
    mode_t savedMask = ::umask(077);
    {
        os::LockFile shared(dir.file("shared").c_str(), "x", false, false);
        os::LockFile own(dir.file("private").c_str(), "x", false, true);
        EXPECT_EQ(modeOf(dir.file("shared")), 0644);
        EXPECT_EQ(modeOf(dir.file("private")), 0600);
    }
    ::umask(savedMask);
    ostest::writeFile(dir.file("wide"), "", 0666);
    os::LockFile wide(dir.file("wide").c_str(), "x", false, true);
    EXPECT_EQ(modeOf(dir.file("wide")), 0600);
}

TEST(LockTaking, OpenFailureRaisesWithThePath) {
    ostest::TemporaryDirectory dir;
    std::string path = dir.file("missing/lock");
    try {
        os::LockFile lock(path.c_str(), "x", false, false);
        FAIL() << "no exception";
    } catch (const plat::SystemException& e) {
        EXPECT_EQ(e.error(), ENOENT);
        EXPECT_EQ(std::string(e.message()).rfind("open(" + path + "): ", 0), 0u) << e.message();
    }
}

TEST(LockTaking, UnwritableContentsAreLoggedAndTheLockIsKept) {
    ostest::TemporaryDirectory dir;
    std::string path = dir.file("lock");
    int status = ostest::exitStatusOfForkedChild([&] {
        // Writing past the file-size limit fails with EFBIG instead of killing the child; the
        // limit leaves room for the captured log line.
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ostest::StderrCapture capture;
        std::string contents(3 * 4096, 'x');
        os::LockFile lock(path.c_str(), contents.c_str(), false, false);
        std::string logged = capture.text();
        bool reported =
            logged.find("LockFile: Failed to write lockfile contents: ") != std::string::npos;
        return (reported ? 1 : 0) | (lock.isHeld() ? 2 : 0);
    });
    EXPECT_EQ(status, 3);
}

TEST(LockSharing, SecondProcessIsRefusedAndSeesTheLockHeld) {
    ostest::TemporaryDirectory dir;
    std::string path = dir.file("lock");
    os::LockFile lock(path.c_str(), "owner", false, false);
    ASSERT_TRUE(lock.isHeld());
    EXPECT_EQ(heldInOtherProcess(path, false), 0);
    EXPECT_EQ(heldInOtherProcess(path, true), 1);
    EXPECT_EQ(ostest::readFile(path), "owner");
}

TEST(LockSharing, ReleasedLockCanBeTakenByAnotherProcess) {
    ostest::TemporaryDirectory dir;
    std::string path = dir.file("lock");
    { os::LockFile lock(path.c_str(), "owner", false, false); }
    EXPECT_EQ(heldInOtherProcess(path, true), 0);
    EXPECT_EQ(heldInOtherProcess(path, false), 1);
}

TEST(LockTesting, MissingFileIsNotHeldAndNotCreated) {
    ostest::TemporaryDirectory dir;
    std::string path = dir.file("lock");
    os::LockFile probe(path.c_str(), nullptr, true, false);
    EXPECT_FALSE(probe.isHeld());
    EXPECT_FALSE(exists(path));
}

TEST(LockTesting, UnlockedFileIsNotHeldAndKeepsItsContents) {
    ostest::TemporaryDirectory dir;
    std::string path = dir.file("lock");
    ostest::writeFile(path, "stale", 0644);
    {
        os::LockFile probe(path.c_str(), "ignored", true, false);
        EXPECT_FALSE(probe.isHeld());
    }
    EXPECT_EQ(ostest::readFile(path), "stale");
}

TEST(LockRelease, RemovesTheFile) {
    ostest::TemporaryDirectory dir;
    std::string path = dir.file("lock");
    os::LockFile lock(path.c_str(), "x", false, false);
    lock.release();
    EXPECT_FALSE(lock.isHeld());
    EXPECT_FALSE(exists(path));
}

TEST(LockRelease, RemovesTheRenamedFileAndSparesItsReplacement) {
    ostest::TemporaryDirectory dir;
    std::string path = dir.file("lock");
    std::string moved = dir.file("lock.moved");
    {
        os::LockFile lock(path.c_str(), "x", false, false);
        ASSERT_EQ(std::rename(path.c_str(), moved.c_str()), 0);
        ostest::writeFile(path, "newcomer", 0644);
    }
    EXPECT_FALSE(exists(moved));
    EXPECT_EQ(ostest::readFile(path), "newcomer");
}

TEST(LockRelease, CloseLeavesTheFile) {
    ostest::TemporaryDirectory dir;
    std::string path = dir.file("lock");
    {
        os::LockFile lock(path.c_str(), "x", false, false);
        lock.close();
        EXPECT_FALSE(lock.isHeld());
    }
    EXPECT_TRUE(exists(path));
    EXPECT_EQ(heldInOtherProcess(path, true), 0);
}

TEST(LockRelease, TestingNeverRemovesTheFile) {
    ostest::TemporaryDirectory dir;
    std::string path = dir.file("lock");
    os::LockFile lock(path.c_str(), "x", false, false);
    int status = ostest::exitStatusOfForkedChild([&] {
        os::LockFile probe(path.c_str(), nullptr, true, false);
        bool held = probe.isHeld();
        probe.release();
        return held ? 1 : 0;
    });
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(exists(path));
}

} // namespace
