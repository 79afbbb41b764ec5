// Tests of the file-system services: path arithmetic, real paths, creation and removal, unique
// names, permissions, locks and searching, on scratch trees under /tmp.
#include <plat/file.h>

#include <plat/Exception.h>
#include <rdr/Exception.h>

#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>
#include <support/forkedChild.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using plat::DString;
using testsupport::modeOf;
using testsupport::TemporaryDirectory;
using testsupport::writeFile;

constexpr uid_t NobodyUser = 65534;
constexpr gid_t NobodyGroup = 65534;

// Restores the working directory that was current when it was made.
class CwdGuard {
public:
    CwdGuard() : fd(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~CwdGuard() {
        PLAT_ASSERT(::fchdir(fd) == 0);
        ::close(fd);
    }

private:
    int fd;
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

// Runs body in a child process as nobody and returns the text it produced. The test process
// has a single thread, so the child may run ordinary code after the fork.
std::string runAsNobody(const std::function<std::string()>& body) {
    int pipeFds[2];
    PLAT_ASSERT(::pipe2(pipeFds, O_CLOEXEC) == 0);
    pid_t pid = ::fork();
    PLAT_ASSERT(pid >= 0);
    if (pid == 0) {
        ::close(pipeFds[0]);
        if (!testsupport::becomeNobody())
            ::_exit(2);
        std::string result = body();
        ssize_t written = ::write(pipeFds[1], result.data(), result.size());
        ::_exit(written == ssize_t(result.size()) ? 0 : 3);
    }
    ::close(pipeFds[1]);
    std::string result;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, std::size_t(got));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    return result;
}

// The display form of a system exception with this context and error number.
std::string systemError(const std::string& context, int err) {
    std::string number = std::to_string(err);
    return "[System-" + number + "] " + context + ": " + std::strerror(err) + " (" + number + ")";
}

// The display form of what call raised, which also tells a system exception from a plain one.
template <typename Call>
std::string failureOf(Call call) {
    try {
        call();
    } catch (const plat::Exception& e) {
        char text[plat::Exception::MessageCapacity + plat::Exception::TypeCapacity + 4];
        e.displayForm(text, sizeof text);
        return text;
    }
    return "no exception";
}

// ---- Path arithmetic ----

struct PathCase {
    const char* input;
    const char* expected;
};

TEST(FilePathTest, NormalisationFoldsSlashesDotsAndParents) {
    const PathCase cases[] = {{"//a//b/", "/a/b"}, {"/a/../..", "/"}, {"a/..", "."},
                              {"../x/..", ".."},   {"./x", "x"},      {"x/./y", "x/y"},
                              {"", "."},           {"/", "/"},        {"../../a/b/..", "../../a"}};
    for (const PathCase& c : cases)
        EXPECT_STREQ(plat::fileNormalisePath(c.input).c_str(), c.expected) << c.input;
}

TEST(FilePathTest, DirNameClimbsOneLevelEvenAboveRelativeStart) {
    const PathCase cases[] = {{"/a/b/c", "/a/b"}, {"/c", "/"}, {"/", "/"},     {"name", "."},
                              {"..", "../.."},    {".", ".."}, {"a/b//", "a"}, {"../x", ".."}};
    for (const PathCase& c : cases)
        EXPECT_STREQ(plat::fileDirName(c.input).c_str(), c.expected) << c.input;
}

TEST(FilePathTest, BaseNameCutsSuffixWithoutRegardToCase) {
    EXPECT_STREQ(plat::fileBaseName("/opt/app/Tool.EXE", ".exe").c_str(), "Tool");
    EXPECT_STREQ(plat::fileBaseName("/opt/app/tool.exe/", ".exe").c_str(), "tool");
    EXPECT_STREQ(plat::fileBaseName("/opt/.exe", ".exe").c_str(), ".exe");
    EXPECT_STREQ(plat::fileBaseName("/opt/tool.exe.bak", ".exe").c_str(), "tool.exe.bak");
    EXPECT_STREQ(plat::fileBaseName("/opt/tool.exe").c_str(), "tool.exe");
    EXPECT_STREQ(plat::fileBaseName("../..").c_str(), ".");
}

TEST(FilePathTest, GetCwdGrowsBeyondItsFirstBuffer) {
    TemporaryDirectory dir;
    CwdGuard guard;
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

class FileRealPathTest : public ::testing::Test {
protected:
    void makeLinkChain(int links, const std::string& finalTarget) {
        for (int i = 0; i < links; ++i) {
            std::string target = i + 1 < links ? "l" + std::to_string(i + 1) : finalTarget;
            ASSERT_EQ(::symlink(target.c_str(), dir.file("l" + std::to_string(i)).c_str()), 0);
        }
    }

    TemporaryDirectory dir;
};

TEST_F(FileRealPathTest, RelativePathIsResolvedAgainstCurrentDirectory) {
    writeFile(dir.file("file"), "x");
    CwdGuard guard;
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    EXPECT_EQ(plat::fileRealPath("./file").c_str(), dir.file("file"));
}

TEST_F(FileRealPathTest, ChainOfTwentyLinksResolves) {
    writeFile(dir.file("file"), "x");
    makeLinkChain(20, "file");
    EXPECT_EQ(plat::fileRealPath(dir.file("l0").c_str()).c_str(), dir.file("file"));
}

TEST_F(FileRealPathTest, ChainOfTwentyOneLinksFailsWithELOOPNamingCallersPath) {
    writeFile(dir.file("file"), "x");
    makeLinkChain(21, "file");
    std::string path = dir.file("l0");
    EXPECT_EQ(failureOf([&] { plat::fileRealPath(path.c_str()); }),
              systemError("realpath(" + path + ")", ELOOP));
}

TEST_F(FileRealPathTest, AgreesWithTheKernelOnLinksAndParents) {
    ASSERT_EQ(::mkdir(dir.file("a").c_str(), 0755), 0);
    writeFile(dir.file("b/c/file"), "x");
    ASSERT_EQ(::symlink("../b/c", dir.file("a/relative").c_str()), 0);
    ASSERT_EQ(::symlink(dir.file("b/c").c_str(), dir.file("a/absolute").c_str()), 0);
    ASSERT_EQ(::symlink("missing", dir.file("a/dangling").c_str()), 0);
    const char* cases[] = {"a/relative/file", "a/absolute/file",   "a/relative/..",
                           "a/absolute/../c", "a/relative/./file", "b/c/file/x",
                           "b/c/file/..",     "a/dangling",        "nothing/.."};
    for (const char* relative : cases)
        EXPECT_EQ(ourRealPath(dir.file(relative)), libcRealPath(dir.file(relative))) << relative;
    EXPECT_EQ(ourRealPath(dir.file("b/c/file/x")), "error " + std::to_string(ENOTDIR));
}

// ---- Creation and removal ----

TEST(FileCreationTest, MkDirAcceptsExistingDirectoryButNotRegularFile) {
    TemporaryDirectory dir;
    EXPECT_TRUE(plat::mkDir(dir.file("d").c_str(), true));
    EXPECT_EQ(modeOf(dir.file("d")) & 077, 0);
    EXPECT_FALSE(plat::mkDir(dir.file("d").c_str(), true));
    std::string file = dir.file("file");
    writeFile(file, "x");
    EXPECT_EQ(failureOf([&] { plat::mkDir(file.c_str(), false); }),
              systemError("mkDir(" + file + ")", EEXIST));
}

TEST(FileCreationTest, MkDirsCreatesMissingParentsAndMakesExistingPrivate) {
    TemporaryDirectory dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    EXPECT_TRUE(plat::mkDirs(dir.file("a/b/c").c_str(), true));
    EXPECT_TRUE(plat::isDirectory(dir.file("a/b/c").c_str()));
    EXPECT_FALSE(plat::mkDirs(dir.file("a/b/c").c_str(), true));
    EXPECT_FALSE(plat::mkDirs(dir.path().c_str(), true, true));
    EXPECT_EQ(modeOf(dir.path()), 0700);
}

TEST(FileCreationTest, MkDirMatchParentTakesParentsOwnerAndMode) {
    TemporaryDirectory dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 02750), 0);
    ASSERT_EQ(::chown(dir.path().c_str(), NobodyUser, NobodyGroup), 0);
    EXPECT_TRUE(plat::mkDirMatchParent(dir.file("shared").c_str(), false));
    EXPECT_TRUE(plat::mkDirMatchParent(dir.file("own").c_str(), true));
    EXPECT_FALSE(plat::mkDirMatchParent(dir.file("own").c_str(), true));
    struct stat info;
    ASSERT_EQ(::stat(dir.file("shared").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, NobodyUser);
    EXPECT_EQ(info.st_gid, NobodyGroup);
    EXPECT_EQ(info.st_mode & 07777, 02750u);
    EXPECT_EQ(modeOf(dir.file("own")), 02700);
}

TEST(FileCreationTest, RecursiveRmDirNeverFollowsLinks) {
    TemporaryDirectory dir;
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

TEST(FileCreationTest, RemoveTakesFilesAndEmptyDirectories) {
    TemporaryDirectory dir;
    writeFile(dir.file("file"), "x");
    ASSERT_EQ(::mkdir(dir.file("empty").c_str(), 0755), 0);
    EXPECT_TRUE(plat::fileRemove(dir.file("file").c_str(), std::nothrow));
    EXPECT_TRUE(plat::fileRemove(dir.file("empty").c_str(), std::nothrow));
    errno = 0;
    EXPECT_FALSE(plat::fileRemove(dir.file("file").c_str(), std::nothrow));
    EXPECT_EQ(errno, ENOENT);
}

// ---- Unique names ----

TEST(FileUniqueNameTest, NumbersCandidatesUntilExhausted) {
    TemporaryDirectory dir;
    std::string expected = dir.file("Quorvel.tmp");
    for (int n = 0; n <= 99; ++n) {
        DString name = plat::fileUniqueName(dir.path().c_str(), "Quorvel.tmp", "(", ")", 99);
        ASSERT_EQ(name.c_str(), expected);
        writeFile(name.c_str(), "x");
        expected = dir.file("Quorvel(" + std::to_string(n + 1) + ").tmp");
    }
    EXPECT_EQ(
        failureOf([&] { plat::fileUniqueName(dir.path().c_str(), "Quorvel.tmp", "(", ")", 99); }),
        "Too many files with same name");
}

TEST(FileUniqueNameTest, CleansNameAndSplitsAtLastDot) {
    const PathCase cases[] = {{"a/b", "/d/a-b(2)"},
                              {"tab\there\x7f", "/d/tab-here-(2)"},
                              {"archive.tar.gz", "/d/archive.tar(2).gz"},
                              {"Ünï.txt", "/d/Ünï(2).txt"},
                              {".profile", "/d/(2).profile"},
                              {"plain", "/d/plain(2)"}};
    for (const PathCase& c : cases)
        EXPECT_STREQ(plat::fileUniqueNameCandidate("/d", c.input, "(", ")", 2).c_str(), c.expected);
    EXPECT_STREQ(plat::fileUniqueNameCandidate("/d", "a/b.c", "(", ")", 0).c_str(), "/d/a-b.c");
}

TEST(FileUniqueNameTest, CreateUniqueSkipsDanglingLinkAndExistingFile) {
    TemporaryDirectory dir;
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
}

TEST(FileUniqueNameTest, CreateUniqueReportsOpenFailureWithCandidate) {
    TemporaryDirectory dir;
    std::string missing = dir.file("missing");
    DString path;
    EXPECT_EQ(failureOf([&] {
                  plat::fileCreateUnique(missing.c_str(), "f", "(", ")", 9, O_WRONLY, 0600, path);
              }),
              systemError("fileOpenFd(" + missing + "/f)", ENOENT));
}

// ---- Ownership and permissions ----

TEST(FilePermissionTest, MakePrivateKeepsOwnerAndSpecialBits) {
    TemporaryDirectory dir;
    std::string path = dir.file("f");
    writeFile(path, "x");
    ASSERT_EQ(::chown(path.c_str(), NobodyUser, NobodyGroup), 0);
    plat::fileMakePrivate(-1, path.c_str());
    EXPECT_EQ(modeOf(path), 0600);
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, ::geteuid());

    ASSERT_EQ(::chmod(path.c_str(), 04755), 0);
    int fd = plat::fileOpenFd(path.c_str(), O_RDONLY);
    plat::fileMakePrivate(fd, nullptr);
    ::close(fd);
    EXPECT_EQ(modeOf(path), 04700);
}

TEST(FilePermissionTest, CheckSecureRejectsWorldWritablePrefix) {
    TemporaryDirectory dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    writeFile(dir.file("f"), "x");
    std::string firstInsecure = (modeOf("/tmp") & 022) ? "/tmp" : dir.path();
    EXPECT_EQ(failureOf([&] { plat::fileCheckSecure(dir.file("f").c_str()); }),
              firstInsecure + ": permissions are not restrictive enough");
    EXPECT_EQ(failureOf([&] { plat::fileCheckSecure(dir.file("none").c_str(), "/target"); }),
              dir.file("none") + " must be created and point to /target");
}

TEST(FilePermissionTest, OpenFailureAsUnprivilegedUserCarriesEACCES) {
    TemporaryDirectory dir;
    ASSERT_EQ(::mkdir(dir.file("hidden").c_str(), 0700), 0);
    std::string created = dir.file("new");
    std::string hidden = dir.file("hidden/x");
    std::string result = runAsNobody([&] {
        return failureOf([&] { plat::fileOpenFd(created.c_str(), O_WRONLY | O_CREAT, 0644); }) +
               "\n" + failureOf([&] { plat::fileExists(hidden.c_str()); });
    });
    EXPECT_EQ(result, systemError("fileOpenFd(" + created + ")", EACCES) + "\n" +
                          systemError("fileExists(" + hidden + ")", EACCES));
}

TEST(FilePermissionDeathTest, CheckSecureRequiresAbsolutePath) {
    EXPECT_DEATH(plat::fileCheckSecure("relative/path"), "isAbsolutePath\\(path\\)");
}

// ---- Open files ----

TEST(FileStreamTest, FailedFdopenClosesItsDescriptorAndKeepsErrno) {
    TemporaryDirectory dir;
    writeFile(dir.file("f"), "x");
    int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(probe);
    errno = 0;
    EXPECT_EQ(plat::fileOpen(dir.file("f").c_str(), O_RDONLY, "w"), nullptr);
    EXPECT_EQ(errno, EINVAL);
    int next = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    EXPECT_EQ(next, probe);
    ::close(next);
}

TEST(FileStreamTest, ReadDistinguishesEndOfFileFromFailure) {
    TemporaryDirectory dir;
    writeFile(dir.file("f"), "abc");
    FILE* file = plat::fileOpen(dir.file("f").c_str(), O_RDONLY, "r");
    ASSERT_NE(file, nullptr);
    char buffer[8];
    EXPECT_EQ(plat::fileRead(file, buffer, sizeof buffer), 3u);
    EXPECT_EQ(plat::fileRead(file, buffer, 0), 0u);
    EXPECT_THROW(plat::fileRead(file, buffer, sizeof buffer), rdr::EndOfStream);
    std::fclose(file);

    FILE* writeOnly = plat::fileOpen(dir.file("f").c_str(), O_WRONLY, "w");
    ASSERT_NE(writeOnly, nullptr);
    EXPECT_EQ(failureOf([&] { plat::fileRead(writeOnly, buffer, sizeof buffer); }),
              systemError("reading from file failed", EBADF));
    std::fclose(writeOnly);
}

TEST(FileStreamTest, LockHeldByAnotherProcessIsReportedAsBusy) {
    TemporaryDirectory dir;
    std::string path = dir.file("lock");
    writeFile(path, "x");
    int locked[2], release[2];
    ASSERT_EQ(::pipe2(locked, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(release, O_CLOEXEC), 0);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // Single-threaded test process: the child may use the library directly. It holds the
        // lock until the parent closes its end of the release pipe.
        FILE* file = plat::fileOpen(path.c_str(), O_RDWR, "r+");
        char byte = file && plat::fileLock(file, true) ? 'L' : 'E';
        ssize_t written = ::write(locked[1], &byte, 1);
        ::close(release[1]);
        ssize_t got = ::read(release[0], &byte, 1);
        ::_exit(written == 1 && got >= 0 ? 0 : 1);
    }
    ::close(locked[1]);
    ::close(release[0]);
    char byte = 0;
    EXPECT_EQ(::read(locked[0], &byte, 1), 1);
    EXPECT_EQ(byte, 'L');
    FILE* file = plat::fileOpen(path.c_str(), O_RDWR, "r+");
    EXPECT_NE(file, nullptr);
    if (file) {
        EXPECT_FALSE(plat::fileLock(file, false));
    }
    ::close(release[1]);
    ::close(locked[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(status, 0);
    if (file) {
        EXPECT_TRUE(plat::fileLock(file, false));
        plat::fileUnlock(file);
        std::fclose(file);
    }
}

TEST(FileStreamTest, SetTimeKeepsFractionsAndDefaultsAccessTime) {
    TemporaryDirectory dir;
    std::string path = dir.file("f");
    writeFile(path, "x");
    plat::Ticks modified = plat::ticksFromUnixSeconds(1'000'000'000) + plat::TicksPerSecond / 4;
    plat::fileSetTime(path.c_str(), modified);
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_sec, 1'000'000'000);
    EXPECT_EQ(info.st_mtim.tv_nsec, 250'000'000);
    EXPECT_EQ(info.st_atim.tv_sec, 1'000'000'000);
    EXPECT_EQ(plat::fileGetTime(path.c_str()), plat::ticksFromUnixSeconds(1'000'000'000));
}

// ---- Searching ----

TEST(FileSearchTest, FindInDirsTakesFirstDirectoryHoldingName) {
    TemporaryDirectory dir;
    writeFile(dir.file("b/tool"), "x");
    EXPECT_TRUE(plat::fileFindInDirs({}, "tool").isNull());
    std::vector<DString> dirs{DString(dir.file("a").c_str()), DString(dir.file("b/").c_str())};
    EXPECT_EQ(plat::fileFindInDirs(dirs, "tool").c_str(), dir.file("b/tool"));
    EXPECT_TRUE(plat::fileFindInDirs(dirs, "other").isNull());
}

TEST(FileSearchTest, FindRecursiveIsNotTrappedByLinksBackUp) {
    TemporaryDirectory dir;
    ASSERT_EQ(::symlink(".", dir.file("loop1").c_str()), 0);
    ASSERT_EQ(::symlink("..", dir.file("loop2").c_str()), 0);
    writeFile(dir.file("x/y/wanted"), "x");
    EXPECT_EQ(plat::fileFindRecursive(dir.path().c_str(), "wanted").c_str(),
              dir.file("x/y/wanted"));
    EXPECT_TRUE(plat::fileFindRecursive(dir.path().c_str(), "absent").isNull());
    EXPECT_TRUE(plat::fileFindRecursive(dir.file("none").c_str(), "wanted").isNull());
}

} // namespace
