// Temporary directories: the names, and the privacy of the per-user directory in the shared /tmp.

#include <os/AppInfo.h>
#include <os/unix/tempDir.h>

#include <plat/Exception.h>

#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testsupport::modeOf;

// The private directory lives in the real /tmp; a path component of the test's own keeps it
// apart from the product's.
class UserTempDir : public ::testing::Test {
protected:
    void SetUp() override {
        pathComp = "qv-ostest-" + std::to_string(::getpid());
        os::AppInfo::init("tool", "Maker", pathComp.c_str(), nullptr, nullptr);
        expected = "/tmp/." + pathComp + "-" + std::to_string(::geteuid());
        removeExpected();
    }
    void TearDown() override {
        removeExpected();
        os::AppInfo::init(nullptr, nullptr, nullptr, nullptr, nullptr);
    }

    void removeExpected() {
        if (::unlink(expected.c_str()) != 0)
            ::rmdir(expected.c_str());
    }

    int failure() {
        return testsupport::raisedBy<plat::SystemException>([] { os::getUserTempDir(); }).error;
    }

    std::string pathComp;
    std::string expected;
};

TEST_F(UserTempDir, CreatedPrivateUnderTheEffectiveUserId) {
    mode_t savedMask = ::umask(0);
    plat::DString path = os::getUserTempDir();
    ::umask(savedMask);
    EXPECT_EQ(std::string(path.get()), expected);
    EXPECT_EQ(modeOf(expected), 0700);
}

TEST_F(UserTempDir, ExistingOpenDirectoryIsMadePrivate) {
    ASSERT_EQ(::mkdir(expected.c_str(), 0755), 0);
    ::chmod(expected.c_str(), 0777);
    EXPECT_EQ(std::string(os::getUserTempDir().get()), expected);
    EXPECT_EQ(modeOf(expected), 0700);
}

TEST_F(UserTempDir, LinkPlantedInItsPlaceIsRefusedAndItsTargetUntouched) {
    testsupport::TemporaryDirectory victim;
    ::chmod(victim.path().c_str(), 0755);
    ASSERT_EQ(::symlink(victim.path().c_str(), expected.c_str()), 0);
    int err = failure();
    // Opening a link with O_NOFOLLOW and O_DIRECTORY fails with one or the other.
    EXPECT_TRUE(err == ELOOP || err == ENOTDIR) << err;
    EXPECT_EQ(modeOf(victim.path()), 0755);
}

TEST_F(UserTempDir, DirectoryOfAnotherUserOrAFileInItsPlaceIsRefusedAndLeftAlone) {
    ASSERT_EQ(::mkdir(expected.c_str(), 0755), 0);
    ASSERT_EQ(::chown(expected.c_str(), 65534, 65534), 0);
    EXPECT_EQ(failure(), EPERM);
    struct stat info;
    ASSERT_EQ(::lstat(expected.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_mode & 07777, 0755u);
    removeExpected();
    testsupport::writeFile(expected, "", 0600);
    EXPECT_EQ(failure(), EEXIST);
}

} // namespace
