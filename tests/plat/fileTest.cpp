// Tests of the file-system services: path arithmetic, real paths, creation and removal, unique
// names, permissions, locks and searching, on scratch trees under /tmp.
#include <plat/file.h>

#include <plat/Exception.h>

#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>
#include <support/forkedChild.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

using plat::DString;
using testsupport::modeOf;
using testsupport::writeFile;

constexpr uid_t NobodyUser = 65534;
constexpr gid_t NobodyGroup = 65534;

// Restores the working directory that was current when it was made.
struct CwdGuard {
    std::filesystem::path saved = std::filesystem::current_path();
    ~CwdGuard() { std::filesystem::current_path(saved); }
};

class FileTest : public ::testing::Test {
protected:
    testsupport::TemporaryDirectory dir;
    CwdGuard cwd;
};

std::string libcRealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? resolved : "error " + std::to_string(errno);
}

std::string ourRealPath(const std::string& path) {
    try {
        return plat::fileRealPath(path.c_str()).c_str();
    } catch (const plat::SystemException& e) {
        return "error " + std::to_string(e.error());
    }
}

// "owner:group:mode" with the mode in octal.
std::string ownershipOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    char text[64];
    std::snprintf(text, sizeof text, "%u:%u:%o", unsigned(info.st_uid), unsigned(info.st_gid),
                  unsigned(info.st_mode & 07777));
    return text;
}

// The display form of a system exception with this context and error number.
std::string systemError(const std::string& context, int err) {
    std::string number = std::to_string(err);
    return "[System-" + number + "] " + context + ": " + std::strerror(err) + " (" + number + ")";
}

// The display form of what call raised, which also tells a system exception from a plain one.
template <typename Call>
std::string failureOf(Call call) {
    testsupport::Raised raised = testsupport::raisedBy(call);
    return raised.type.empty() ? raised.message : "[" + raised.type + "] " + raised.message;
}

// ---- Path arithmetic ----

struct PathCase {
    const char* input;
    const char* expected;
};

TEST(FilePathArithmetic, NormalisationFoldsSlashesDotsAndParents) {
    const PathCase cases[] = {{"//a//b/", "/a/b"}, {"/a/../..", "/"}, {"a/..", "."},
                              {"./x", "x"},        {"", "."},         {"../../a/b/..", "../../a"}};
    for (const PathCase& c : cases)
        EXPECT_STREQ(plat::fileNormalisePath(c.input).c_str(), c.expected) << c.input;
}

TEST(FilePathArithmetic, DirNameClimbsOneLevelEvenAboveRelativeStart) {
    const PathCase cases[] = {{"/c", "/"},     {"/", "/"},  {"name", "."},
                              {"..", "../.."}, {".", ".."}, {"a/b//", "a"}};
    for (const PathCase& c : cases)
        EXPECT_STREQ(plat::fileDirName(c.input).c_str(), c.expected) << c.input;
}

TEST(FilePathArithmetic, BaseNameCutsSuffixWithoutRegardToCase) {
    const PathCase cases[] = {{"/opt/app/Tool.EXE/", "Tool"},
                              {"/opt/.exe", ".exe"},
                              {"/opt/tool.exe.bak", "tool.exe.bak"}};
    for (const PathCase& c : cases)
        EXPECT_STREQ(plat::fileBaseName(c.input, ".exe").c_str(), c.expected) << c.input;
    EXPECT_STREQ(plat::fileBaseName("/opt/tool.exe").c_str(), "tool.exe");
    EXPECT_STREQ(plat::fileBaseName("../..").c_str(), ".");
}

TEST_F(FileTest, GetCwdGrowsBeyondItsFirstBuffer) {
    std::string expected = dir.path();
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    for (int level = 0; level < 12; ++level) {
        std::string name(120, char('a' + level));
        ASSERT_EQ(::mkdir(name.c_str(), 0700), 0);
        ASSERT_EQ(::chdir(name.c_str()), 0);
        expected += "/" + name;
    }
    EXPECT_EQ(plat::getCwd().c_str(), expected);
}

// ---- Real paths ----

// l1 reaches the file through twenty links, l0 through twenty-one.
TEST_F(FileTest, RealPathFollowsTwentyLinksAndFailsWithELOOPNamingCallersPathAfterThat) {
    writeFile(dir.file("file"), "x");
    for (int i = 0; i <= 20; ++i) {
        std::string target = i < 20 ? "l" + std::to_string(i + 1) : "file";
        ASSERT_EQ(::symlink(target.c_str(), dir.file("l" + std::to_string(i)).c_str()), 0);
    }
    EXPECT_EQ(plat::fileRealPath(dir.file("l1").c_str()).c_str(), dir.file("file"));
    std::string path = dir.file("l0");
    EXPECT_EQ(failureOf([&] { plat::fileRealPath(path.c_str()); }),
              systemError("realpath(" + path + ")", ELOOP));
}

TEST_F(FileTest, RealPathAgreesWithTheKernelOnLinksParentsAndRelativePaths) {
    ASSERT_EQ(::mkdir(dir.file("a").c_str(), 0755), 0);
    writeFile(dir.file("b/c/file"), "x");
    ASSERT_EQ(::symlink("../b/c", dir.file("a/relative").c_str()), 0);
    ASSERT_EQ(::symlink(dir.file("b/c").c_str(), dir.file("a/absolute").c_str()), 0);
    ASSERT_EQ(::symlink("missing", dir.file("a/dangling").c_str()), 0);
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    for (std::string relative : {"a/relative/file", "a/absolute/../c", "a/relative/./file",
                                 "b/c/file/x", "b/c/file/..", "a/dangling", "nothing/.."}) {
        EXPECT_EQ(ourRealPath(dir.file(relative)), libcRealPath(dir.file(relative))) << relative;
        EXPECT_EQ(ourRealPath("./" + relative), libcRealPath(dir.file(relative))) << relative;
    }
}

// ---- Creation and removal ----

TEST_F(FileTest, MkDirsCreatesMissingParentsAcceptsDirectoriesButNotRegularFiles) {
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    EXPECT_TRUE(plat::mkDir(dir.file("d").c_str(), true));
    EXPECT_EQ(modeOf(dir.file("d")) & 077, 0);
    EXPECT_TRUE(plat::mkDirs(dir.file("a/b/c").c_str(), true));
    EXPECT_FALSE(plat::mkDirs(dir.file("a/b/c").c_str(), true));
    EXPECT_FALSE(plat::mkDirs(dir.path().c_str(), true, true));
    EXPECT_EQ(modeOf(dir.path()), 0700) << "an existing directory made private";
    std::string file = dir.write("file", "x");
    EXPECT_EQ(failureOf([&] { plat::mkDir(file.c_str(), false); }),
              systemError("mkDir(" + file + ")", EEXIST));
}

TEST_F(FileTest, MkDirMatchParentTakesParentsOwnerAndMode) {
    ASSERT_EQ(::chmod(dir.path().c_str(), 02750), 0);
    ASSERT_EQ(::chown(dir.path().c_str(), NobodyUser, NobodyGroup), 0);
    EXPECT_TRUE(plat::mkDirMatchParent(dir.file("shared").c_str(), false));
    EXPECT_TRUE(plat::mkDirMatchParent(dir.file("own").c_str(), true));
    EXPECT_EQ(ownershipOf(dir.file("shared")), "65534:65534:2750");
    EXPECT_EQ(modeOf(dir.file("own")), 02700);
}

TEST_F(FileTest, RecursiveRmDirNeverFollowsLinks) {
    writeFile(dir.file("keep/precious"), "x");
    writeFile(dir.file("tree/sub/file"), "x");
    ASSERT_EQ(::symlink(dir.file("keep").c_str(), dir.file("tree/sub/link").c_str()), 0);
    ASSERT_EQ(::symlink(dir.file("keep").c_str(), dir.file("alias").c_str()), 0);

    EXPECT_EQ(failureOf([&] { plat::rmDir(dir.file("alias").c_str(), true); }),
              systemError("rmDir(" + dir.file("alias") + ")", ENOTDIR));
    plat::rmDir(dir.file("tree").c_str(), true);
    EXPECT_FALSE(plat::fileExists(dir.file("tree").c_str()));
    EXPECT_TRUE(plat::fileExists(dir.file("keep/precious").c_str()));
}

// ---- Unique names ----

TEST(FileUniqueNameCandidate, CleansNameAndSplitsAtLastDot) {
    struct Case {
        const char* name;
        const char* candidate;
    };
    for (Case c : {Case{"a/b", "/d/a-b(2)"}, Case{"tab\there\x7f", "/d/tab-here-(2)"},
                   Case{"archive.tar.gz", "/d/archive.tar(2).gz"}, Case{"Ünï.txt", "/d/Ünï(2).txt"},
                   Case{".profile", "/d/(2).profile"}, Case{"plain", "/d/plain(2)"}})
        EXPECT_STREQ(plat::fileUniqueNameCandidate("/d", c.name, "(", ")", 2).c_str(), c.candidate);
    EXPECT_STREQ(plat::fileUniqueNameCandidate("/d", "a/b.c", "(", ")", 0).c_str(), "/d/a-b.c");
}

TEST_F(FileTest, CreateUniqueSkipsDanglingLinkAndExistingFileAndNamesTheFailingCandidate) {
    ASSERT_EQ(::symlink(dir.file("victim").c_str(), dir.file("Quorvel.tmp").c_str()), 0);
    writeFile(dir.file("Quorvel(1).tmp"), "existing");
    DString path;
    int fd = plat::fileCreateUnique(dir.path().c_str(), "Quorvel.tmp", "(", ")", 99, O_WRONLY, 0700,
                                    path);
    ASSERT_GE(fd, 0);
    EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
    ::close(fd);
    EXPECT_EQ(path.c_str(), dir.file("Quorvel(2).tmp"));
    EXPECT_FALSE(plat::fileExists(dir.file("victim").c_str()));
    EXPECT_EQ(plat::fileGetSize(dir.file("Quorvel(1).tmp").c_str()), 8);

    std::string missing = dir.file("missing");
    EXPECT_EQ(failureOf([&] {
                  plat::fileCreateUnique(missing.c_str(), "f", "(", ")", 9, O_WRONLY, 0600, path);
              }),
              systemError("fileOpenFd(" + missing + "/f)", ENOENT));
}

// ---- Ownership and permissions ----

TEST_F(FileTest, MakePrivateKeepsOwnerAndSpecialBits) {
    std::string path = dir.write("f", "x");
    ASSERT_EQ(::chown(path.c_str(), NobodyUser, NobodyGroup), 0);
    plat::fileMakePrivate(-1, path.c_str());
    EXPECT_EQ(ownershipOf(path), std::to_string(::geteuid()) + ":65534:600");
    ASSERT_EQ(::chmod(path.c_str(), 04755), 0);
    int fd = plat::fileOpenFd(path.c_str(), O_RDONLY);
    plat::fileMakePrivate(fd, nullptr);
    ::close(fd);
    EXPECT_EQ(modeOf(path), 04700);
}

TEST_F(FileTest, CheckSecureRejectsWorldWritablePrefix) {
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    writeFile(dir.file("f"), "x");
    std::string firstInsecure = (modeOf("/tmp") & 022) ? "/tmp" : dir.path();
    EXPECT_EQ(failureOf([&] { plat::fileCheckSecure(dir.file("f").c_str()); }),
              firstInsecure + ": permissions are not restrictive enough");
    EXPECT_EQ(failureOf([&] { plat::fileCheckSecure(dir.file("none").c_str(), "/target"); }),
              dir.file("none") + " must be created and point to /target");
}

TEST_F(FileTest, OpenFailureAsUnprivilegedUserCarriesEACCES) {
    ASSERT_EQ(::mkdir(dir.file("hidden").c_str(), 0700), 0);
    std::string created = dir.file("new");
    std::string hidden = dir.file("hidden/x");
    // The child's exit status names the first check that failed.
    EXPECT_EQ(testsupport::exitStatusOfForkedChild([&] {
                  if (!testsupport::becomeNobody())
                      return 1;
                  if (failureOf([&] { plat::fileOpenFd(created.c_str(), O_WRONLY | O_CREAT); }) !=
                      systemError("fileOpenFd(" + created + ")", EACCES))
                      return 2;
                  return failureOf([&] { plat::fileExists(hidden.c_str()); }) ==
                                 systemError("fileExists(" + hidden + ")", EACCES)
                             ? 0
                             : 3;
              }),
              0);
}

// ---- Open files ----

TEST_F(FileTest, FailedFdopenClosesItsDescriptorAndKeepsErrno) {
    std::string path = dir.write("f", "x");
    int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(probe);
    errno = 0;
    EXPECT_EQ(plat::fileOpen(path.c_str(), O_RDONLY, "w"), nullptr);
    EXPECT_EQ(errno, EINVAL);
    int next = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    EXPECT_EQ(next, probe);
    ::close(next);
}

TEST_F(FileTest, ReadDistinguishesEndOfFileFromFailure) {
    std::string path = dir.write("f", "abc");
    FILE* file = plat::fileOpen(path.c_str(), O_RDONLY, "r");
    ASSERT_NE(file, nullptr);
    char buffer[8];
    EXPECT_EQ(plat::fileRead(file, buffer, sizeof buffer), 3u);
    EXPECT_EQ(plat::fileRead(file, buffer, 0), 0u);
    EXPECT_EQ(plat::fileRead(file, buffer, sizeof buffer), 0u);
    std::fclose(file);

    FILE* writeOnly = plat::fileOpen(path.c_str(), O_WRONLY, "w");
    ASSERT_NE(writeOnly, nullptr);
    EXPECT_EQ(failureOf([&] { plat::fileRead(writeOnly, buffer, sizeof buffer); }),
              systemError("reading from file failed", EBADF));
    std::fclose(writeOnly);
}

TEST_F(FileTest, LockHeldByAnotherProcessIsReportedAsBusy) {
    std::string path = dir.write("lock", "x");
    // Record locks belong to the process, so a forked child competes with the parent.
    auto lockableByChild = [&] {
        return testsupport::exitStatusOfForkedChild([&] {
            FILE* file = plat::fileOpen(path.c_str(), O_RDWR, "r+");
            return file && plat::fileLock(file, false) ? 0 : 1;
        });
    };
    FILE* file = plat::fileOpen(path.c_str(), O_RDWR, "r+");
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(plat::fileLock(file, false));
    EXPECT_EQ(lockableByChild(), 1);
    plat::fileUnlock(file);
    EXPECT_EQ(lockableByChild(), 0);
    std::fclose(file);
}

TEST_F(FileTest, SetTimeKeepsFractionsAndDefaultsAccessTime) {
    std::string path = dir.write("f", "x");
    plat::fileSetTime(path.c_str(),
                      plat::ticksFromUnixSeconds(1'000'000'000) + plat::TicksPerSecond / 4);
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(std::pair(info.st_mtim.tv_sec, info.st_mtim.tv_nsec),
              std::pair(time_t(1'000'000'000), long(250'000'000)));
    EXPECT_EQ(info.st_atim.tv_sec, 1'000'000'000);
    EXPECT_EQ(plat::fileGetTime(path.c_str()), plat::ticksFromUnixSeconds(1'000'000'000));
}

// ---- Searching ----

TEST_F(FileTest, FindTakesTheFirstDirectoryHoldingTheNameAndIsNotTrappedByLinksBackUp) {
    writeFile(dir.file("b/tool"), "x");
    std::vector<DString> dirs{DString(dir.file("a").c_str()), DString(dir.file("b/").c_str())};
    EXPECT_EQ(plat::fileFindInDirs(dirs, "tool").c_str(), dir.file("b/tool"));
    EXPECT_TRUE(plat::fileFindInDirs(dirs, "other").isNull());

    ASSERT_EQ(::symlink(".", dir.file("loop1").c_str()), 0);
    ASSERT_EQ(::symlink("..", dir.file("loop2").c_str()), 0);
    writeFile(dir.file("x/y/wanted"), "x");
    EXPECT_EQ(plat::fileFindRecursive(dir.path().c_str(), "wanted").c_str(),
              dir.file("x/y/wanted"));
    EXPECT_TRUE(plat::fileFindRecursive(dir.file("none").c_str(), "wanted").isNull());
}

} // namespace
