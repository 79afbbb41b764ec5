// Tests of the file-system services: path arithmetic, real paths, creation and removal, unique
// names, permissions, locks and searching, on scratch trees under /tmp.
#include <plat/file.h>

#include <plat/Exception.h>
#include <rdr/Exception.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using plat::DString;

constexpr uid_t NobodyUser = 65534;
constexpr gid_t NobodyGroup = 65534;

// A scratch directory, removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/fileTest.XXXXXX";
        PLAT_ASSERT(::mkdtemp(pattern) != nullptr);
        char resolved[PATH_MAX];
        PLAT_ASSERT(::realpath(pattern, resolved) != nullptr);
        root = resolved;
    }
    ~TempDir() { std::filesystem::remove_all(root); }

    std::string path(const std::string& relative) const { return root + "/" + relative; }

    std::string root;
};

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

void writeFile(const std::string& path, const std::string& contents = "x", mode_t mode = 0644) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(::write(fd, contents.data(), contents.size()), ssize_t(contents.size()));
    ::close(fd);
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
}

mode_t modeOf(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : mode_t(-1);
}

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
        if (::setgroups(0, nullptr) != 0 ||
            ::setresgid(NobodyGroup, NobodyGroup, NobodyGroup) != 0 ||
            ::setresuid(NobodyUser, NobodyUser, NobodyUser) != 0)
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
    TempDir dir;
    CwdGuard guard;
    std::string expected = dir.root;
    ASSERT_EQ(::chdir(dir.root.c_str()), 0);
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
            ASSERT_EQ(::symlink(target.c_str(), dir.path("l" + std::to_string(i)).c_str()), 0);
        }
    }

    TempDir dir;
};

TEST_F(FileRealPathTest, RelativePathIsResolvedAgainstCurrentDirectory) {
    writeFile(dir.path("file"));
    CwdGuard guard;
    ASSERT_EQ(::chdir(dir.root.c_str()), 0);
    EXPECT_EQ(plat::fileRealPath("./file").c_str(), dir.path("file"));
}

TEST_F(FileRealPathTest, ChainOfTwentyLinksResolves) {
    writeFile(dir.path("file"));
    makeLinkChain(20, "file");
    EXPECT_EQ(plat::fileRealPath(dir.path("l0").c_str()).c_str(), dir.path("file"));
}

TEST_F(FileRealPathTest, ChainOfTwentyOneLinksFailsWithELOOPNamingCallersPath) {
    writeFile(dir.path("file"));
    makeLinkChain(21, "file");
    std::string path = dir.path("l0");
    EXPECT_EQ(failureOf([&] { plat::fileRealPath(path.c_str()); }),
              systemError("realpath(" + path + ")", ELOOP));
}

TEST_F(FileRealPathTest, AgreesWithTheKernelOnLinksAndParents) {
    ASSERT_EQ(::mkdir(dir.path("a").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(dir.path("b").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(dir.path("b/c").c_str(), 0755), 0);
    writeFile(dir.path("b/c/file"));
    ASSERT_EQ(::symlink("../b/c", dir.path("a/relative").c_str()), 0);
    ASSERT_EQ(::symlink(dir.path("b/c").c_str(), dir.path("a/absolute").c_str()), 0);
    ASSERT_EQ(::symlink("missing", dir.path("a/dangling").c_str()), 0);
    const char* cases[] = {"a/relative/file", "a/absolute/file",   "a/relative/..",
                           "a/absolute/../c", "a/relative/./file", "b/c/file/x",
                           "b/c/file/..",     "a/dangling",        "nothing/.."};
    for (const char* relative : cases)
        EXPECT_EQ(ourRealPath(dir.path(relative)), libcRealPath(dir.path(relative))) << relative;
    EXPECT_EQ(ourRealPath(dir.path("b/c/file/x")), "error " + std::to_string(ENOTDIR));
}

// ---- Creation and removal ----

TEST(FileCreationTest, MkDirAcceptsExistingDirectoryButNotRegularFile) {
    TempDir dir;
    EXPECT_TRUE(plat::mkDir(dir.path("d").c_str(), true));
    EXPECT_EQ(modeOf(dir.path("d")) & 077, 0u);
    EXPECT_FALSE(plat::mkDir(dir.path("d").c_str(), true));
    std::string file = dir.path("file");
    writeFile(file);
    EXPECT_EQ(failureOf([&] { plat::mkDir(file.c_str(), false); }),
              systemError("mkDir(" + file + ")", EEXIST));
}

TEST(FileCreationTest, MkDirsCreatesMissingParentsAndMakesExistingPrivate) {
    TempDir dir;
    ASSERT_EQ(::chmod(dir.root.c_str(), 0755), 0);
    EXPECT_TRUE(plat::mkDirs(dir.path("a/b/c").c_str(), true));
    EXPECT_TRUE(plat::isDirectory(dir.path("a/b/c").c_str()));
    EXPECT_FALSE(plat::mkDirs(dir.path("a/b/c").c_str(), true));
    EXPECT_FALSE(plat::mkDirs(dir.root.c_str(), true, true));
    EXPECT_EQ(modeOf(dir.root), 0700u);
}

TEST(FileCreationTest, MkDirMatchParentTakesParentsOwnerAndMode) {
    TempDir dir;
    ASSERT_EQ(::chmod(dir.root.c_str(), 02750), 0);
    ASSERT_EQ(::chown(dir.root.c_str(), NobodyUser, NobodyGroup), 0);
    EXPECT_TRUE(plat::mkDirMatchParent(dir.path("shared").c_str(), false));
    EXPECT_TRUE(plat::mkDirMatchParent(dir.path("own").c_str(), true));
    EXPECT_FALSE(plat::mkDirMatchParent(dir.path("own").c_str(), true));
    struct stat info;
    ASSERT_EQ(::stat(dir.path("shared").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, NobodyUser);
    EXPECT_EQ(info.st_gid, NobodyGroup);
    EXPECT_EQ(info.st_mode & 07777, 02750u);
    EXPECT_EQ(modeOf(dir.path("own")), 02700u);
}

TEST(FileCreationTest, RecursiveRmDirNeverFollowsLinks) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.path("keep").c_str(), 0755), 0);
    writeFile(dir.path("keep/precious"));
    ASSERT_EQ(::mkdir(dir.path("tree").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(dir.path("tree/sub").c_str(), 0755), 0);
    writeFile(dir.path("tree/sub/file"));
    ASSERT_EQ(::symlink(dir.path("keep").c_str(), dir.path("tree/sub/link").c_str()), 0);
    ASSERT_EQ(::symlink(dir.path("keep").c_str(), dir.path("alias").c_str()), 0);

    EXPECT_EQ(failureOf([&] { plat::rmDir(dir.path("alias").c_str(), true); }),
              systemError("rmDir(" + dir.path("alias") + ")", ENOTDIR));
    plat::rmDir(dir.path("tree").c_str(), true);
    EXPECT_FALSE(plat::fileExists(dir.path("tree").c_str()));
    EXPECT_TRUE(plat::fileExists(dir.path("keep/precious").c_str()));
}

TEST(FileCreationTest, RemoveTakesFilesAndEmptyDirectories) {
    TempDir dir;
    writeFile(dir.path("file"));
    ASSERT_EQ(::mkdir(dir.path("empty").c_str(), 0755), 0);
    EXPECT_TRUE(plat::fileRemove(dir.path("file").c_str(), std::nothrow));
    EXPECT_TRUE(plat::fileRemove(dir.path("empty").c_str(), std::nothrow));
    errno = 0;
    EXPECT_FALSE(plat::fileRemove(dir.path("file").c_str(), std::nothrow));
    EXPECT_EQ(errno, ENOENT);
}

// ---- Unique names ----

TEST(FileUniqueNameTest, NumbersCandidatesUntilExhausted) {
    TempDir dir;
    std::string expected = dir.path("Quorvel.tmp");
    for (int n = 0; n <= 99; ++n) {
        DString name = plat::fileUniqueName(dir.root.c_str(), "Quorvel.tmp", "(", ")", 99);
        ASSERT_EQ(name.c_str(), expected);
        writeFile(name.c_str());
        expected = dir.path("Quorvel(" + std::to_string(n + 1) + ").tmp");
    }
    EXPECT_EQ(
        failureOf([&] { plat::fileUniqueName(dir.root.c_str(), "Quorvel.tmp", "(", ")", 99); }),
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
    TempDir dir;
    ASSERT_EQ(::symlink(dir.path("victim").c_str(), dir.path("Quorvel.tmp").c_str()), 0);
    writeFile(dir.path("Quorvel(1).tmp"), "existing");
    DString path;
    int fd =
        plat::fileCreateUnique(dir.root.c_str(), "Quorvel.tmp", "(", ")", 99, O_WRONLY, 0700, path);
    ASSERT_GE(fd, 0);
    EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
    ::close(fd);
    EXPECT_EQ(path.c_str(), dir.path("Quorvel(2).tmp"));
    EXPECT_FALSE(plat::fileExists(dir.path("victim").c_str()));
    EXPECT_EQ(plat::fileGetSize(dir.path("Quorvel(1).tmp").c_str()), 8);
}

TEST(FileUniqueNameTest, CreateUniqueReportsOpenFailureWithCandidate) {
    TempDir dir;
    std::string missing = dir.path("missing");
    DString path;
    EXPECT_EQ(failureOf([&] {
                  plat::fileCreateUnique(missing.c_str(), "f", "(", ")", 9, O_WRONLY, 0600, path);
              }),
              systemError("fileOpenFd(" + missing + "/f)", ENOENT));
}

// ---- Ownership and permissions ----

TEST(FilePermissionTest, MakePrivateKeepsOwnerAndSpecialBits) {
    TempDir dir;
    std::string path = dir.path("f");
    writeFile(path, "x", 0644);
    ASSERT_EQ(::chown(path.c_str(), NobodyUser, NobodyGroup), 0);
    plat::fileMakePrivate(-1, path.c_str());
    EXPECT_EQ(modeOf(path), 0600u);
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, ::geteuid());

    ASSERT_EQ(::chmod(path.c_str(), 04755), 0);
    int fd = plat::fileOpenFd(path.c_str(), O_RDONLY);
    plat::fileMakePrivate(fd, nullptr);
    ::close(fd);
    EXPECT_EQ(modeOf(path), 04700u);
}

TEST(FilePermissionTest, CheckSecureRejectsWorldWritablePrefix) {
    TempDir dir;
    ASSERT_EQ(::chmod(dir.root.c_str(), 0777), 0);
    writeFile(dir.path("f"));
    std::string firstInsecure = (modeOf("/tmp") & 022) ? "/tmp" : dir.root;
    EXPECT_EQ(failureOf([&] { plat::fileCheckSecure(dir.path("f").c_str()); }),
              firstInsecure + ": permissions are not restrictive enough");
    EXPECT_EQ(failureOf([&] { plat::fileCheckSecure(dir.path("none").c_str(), "/target"); }),
              dir.path("none") + " must be created and point to /target");
}

TEST(FilePermissionTest, OpenFailureAsUnprivilegedUserCarriesEACCES) {
    TempDir dir;
    ASSERT_EQ(::chmod(dir.root.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(dir.path("hidden").c_str(), 0700), 0);
    std::string created = dir.path("new");
    std::string hidden = dir.path("hidden/x");
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
    TempDir dir;
    writeFile(dir.path("f"));
    int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(probe);
    errno = 0;
    EXPECT_EQ(plat::fileOpen(dir.path("f").c_str(), O_RDONLY, "w"), nullptr);
    EXPECT_EQ(errno, EINVAL);
    int next = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    EXPECT_EQ(next, probe);
    ::close(next);
}

TEST(FileStreamTest, ReadDistinguishesEndOfFileFromFailure) {
    TempDir dir;
    writeFile(dir.path("f"), "abc");
    FILE* file = plat::fileOpen(dir.path("f").c_str(), O_RDONLY, "r");
    ASSERT_NE(file, nullptr);
    char buffer[8];
    EXPECT_EQ(plat::fileRead(file, buffer, sizeof buffer), 3u);
    EXPECT_EQ(plat::fileRead(file, buffer, 0), 0u);
    EXPECT_THROW(plat::fileRead(file, buffer, sizeof buffer), rdr::EndOfStream);
    std::fclose(file);

    FILE* writeOnly = plat::fileOpen(dir.path("f").c_str(), O_WRONLY, "w");
    ASSERT_NE(writeOnly, nullptr);
    EXPECT_EQ(failureOf([&] { plat::fileRead(writeOnly, buffer, sizeof buffer); }),
              systemError("reading from file failed", EBADF));
    std::fclose(writeOnly);
}

TEST(FileStreamTest, LockHeldByAnotherProcessIsReportedAsBusy) {
    TempDir dir;
    std::string path = dir.path("lock");
    writeFile(path);
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
    TempDir dir;
    std::string path = dir.path("f");
    writeFile(path);
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
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.path("b").c_str(), 0755), 0);
    writeFile(dir.path("b/tool"));
    EXPECT_TRUE(plat::fileFindInDirs({}, "tool").isNull());
    std::vector<DString> dirs{DString(dir.path("a").c_str()), DString(dir.path("b/").c_str())};
    EXPECT_EQ(plat::fileFindInDirs(dirs, "tool").c_str(), dir.path("b/tool"));
    EXPECT_TRUE(plat::fileFindInDirs(dirs, "other").isNull());
}

TEST(FileSearchTest, FindRecursiveIsNotTrappedByLinksBackUp) {
    TempDir dir;
    ASSERT_EQ(::symlink(".", dir.path("loop1").c_str()), 0);
    ASSERT_EQ(::symlink("..", dir.path("loop2").c_str()), 0);
    ASSERT_EQ(::mkdir(dir.path("x").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(dir.path("x/y").c_str(), 0755), 0);
    writeFile(dir.path("x/y/wanted"));
    EXPECT_EQ(plat::fileFindRecursive(dir.root.c_str(), "wanted").c_str(), dir.path("x/y/wanted"));
    EXPECT_TRUE(plat::fileFindRecursive(dir.root.c_str(), "absent").isNull());
    EXPECT_TRUE(plat::fileFindRecursive(dir.path("none").c_str(), "wanted").isNull());
}

} // namespace
