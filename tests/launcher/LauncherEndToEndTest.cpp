// The installed launcher, run as a user would run it, carrying the demo payload.
#include "support/ChildProcess.h"
#include "support/Sandbox.h"

#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace launchertest;
using testsupport::copyExecutable;
using testsupport::exists;
using testsupport::modeOf;
using testsupport::readFile;
using testsupport::TemporaryDirectory;
using testsupport::writeFile;
using Names = std::vector<std::string>;

namespace {

const std::string installedLauncher = QV_INSTALLED_LAUNCHER;
const std::string brokenPayloadLauncher = QV_BROKEN_PAYLOAD_LAUNCHER;
const std::string embeddedPayload = QV_EMBEDDED_PAYLOAD;

// Runs root's launcher in a sandbox where one can be had, so that the directories it creates in
// root's home go away with the test.
std::vector<std::string> asRoot(const Sandbox& sandbox, const std::vector<std::string>& command) {
    return Sandbox::available() ? sandbox.wrap(command) : command;
}

// Waits until the condition holds; fails the test after a minute.
template <typename Condition>
void waitUntil(Condition condition, const char* what) {
    for (int i = 0; i < 600 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(condition()) << "gave up waiting: " << what;
}

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override { copyExecutable(installedLauncher, launcher); }

    std::vector<std::string> command(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), launcher);
        return asRoot(sandbox, arguments);
    }

    ExitResult runLauncher(std::vector<std::string> arguments, const std::string& input = {},
                           StreamOptions options = {}) {
        return runToEnd(command(std::move(arguments)), input, options);
    }

    Sandbox sandbox;
    TemporaryDirectory directory;
    const std::string launcher = directory.file("qvserverLauncher");
    const std::string extracted = directory.file("Quorvel.tmp");
};

// Descriptors the launcher opens must not land on the payload's missing standard streams.
TEST_F(LauncherTest, PassesArgumentsByteForByteEvenWithClosedStandardInputAndError) {
    ExitResult result = runLauncher({"--args", "a", "b c", "", "\xff\xfe tab\there"}, {},
                                    {.closeStdin = true, .closeStderr = true});

    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, "argv[0]=" + extracted +
                                 "\nargv[1]=--args\nargv[2]=a\nargv[3]=b c\nargv[4]=\n"
                                 "argv[5]=\\xFF\\xFE tab\\x09here\n");
    EXPECT_EQ(directory.entries(), Names{"qvserverLauncher"});
}

TEST_F(LauncherTest, WritesThePayloadUnchangedWithModeRwxrXrX) {
    ChildProcess running(command({"--cat"}));
    waitUntil([&] { return exists(extracted); }, "extracted file");
    // The payload reads its input now, so the file is complete.
    running.writeInput("x\n");
    EXPECT_EQ(running.readOutputLine(), "x");
    mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(modeOf(extracted), int(0755 & ~mask));
    EXPECT_EQ(readFile(extracted), readFile(embeddedPayload));
    EXPECT_EQ(running.finish().status, 0);
}

TEST_F(LauncherTest, PassesLargeStandardInputAndOutputThrough) {
    std::mt19937 random(42);
    std::string data(8 << 20, '\0');
    std::generate(data.begin(), data.end(), [&] { return char(random()); });

    ExitResult result = runLauncher({"--cat"}, data);

    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.output == data) << "output differs from input";
}

// The payload rejects the option with status 2 on the standard error it inherits.
TEST_F(LauncherTest, ExitsWithZeroWhateverThePayloadStatusAndPassesItsStandardError) {
    ExitResult result = runLauncher({"--no-such-option"});

    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.reported("unknown option: --no-such-option")) << result.errorOutput;
    EXPECT_EQ(directory.entries(), Names{"qvserverLauncher"});
}

// A dangling link in the name sequence is taken as a taken name, never written through.
TEST_F(LauncherTest, SkipsTakenNamesAndDanglingLinksAndLeavesThemAlone) {
    std::string target = directory.file("planted-target");
    ASSERT_EQ(symlink(target.c_str(), extracted.c_str()), 0);
    writeFile(directory.file("Quorvel(1).tmp"), "taken");

    ExitResult result = runLauncher({"--args"});

    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output.substr(0, result.output.find('\n')),
              "argv[0]=" + directory.file("Quorvel(2).tmp"));
    EXPECT_FALSE(exists(target));
    EXPECT_EQ(readFile(directory.file("Quorvel(1).tmp")), "taken");
    EXPECT_EQ(directory.entries(), (Names{"Quorvel(1).tmp", "Quorvel.tmp", "qvserverLauncher"}));
}

// Without arguments the payload greets before it lists its own path.
TEST_F(LauncherTest, ExtractsBesideTheFinalTargetOfASymbolicLink) {
    TemporaryDirectory linkDirectory;
    std::string link = linkDirectory.file("launcher-link");
    ASSERT_EQ(symlink(launcher.c_str(), link.c_str()), 0);

    ExitResult result = runToEnd(asRoot(sandbox, {link}));

    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.output.find("\nargv[0]=" + extracted + "\n"), std::string::npos);
    EXPECT_EQ(linkDirectory.entries(), Names{"launcher-link"});
}

class LauncherSignalTest : public LauncherTest, public ::testing::WithParamInterface<int> {};

TEST_P(LauncherSignalTest, RemovesTheFileAtOnceAndKeepsWaitingForThePayload) {
    ChildProcess running(command({"--args", "--cat"}));
    ASSERT_EQ(running.readOutputLine(), "argv[0]=" + extracted);

    running.sendSignal(GetParam());
    waitUntil([&] { return !exists(extracted); }, "removal of the extracted file");
    EXPECT_TRUE(running.running());

    running.writeInput("still here\n");
    ExitResult result = running.finish();
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.output.find("still here\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(TerminationSignals, LauncherSignalTest, ::testing::Values(SIGINT, SIGTERM),
                         [](const auto& info) {
                             return info.param == SIGINT ? "SIGINT" : "SIGTERM";
                         });

TEST_F(LauncherTest, ReportsTooManyFilesWhenEveryNameIsTaken) {
    writeFile(extracted, "taken");
    for (int i = 1; i <= 99; ++i)
        writeFile(directory.file("Quorvel(" + std::to_string(i) + ").tmp"), "taken");

    ExitResult result = runLauncher({"--args"});

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "");
    EXPECT_TRUE(result.reported("TXMsgBox: Too many files with same name")) << result.errorOutput;
    EXPECT_EQ(directory.entries().size(), 101u);
    EXPECT_EQ(readFile(directory.file("Quorvel(99).tmp")), "taken");
}

TEST_F(LauncherTest, ReportsAnUnwritableDirectoryWithFileOpenFd) {
    // Root ignores mode bits: the launcher runs as nobody in a directory owned by root.
    TemporaryDirectory home;
    ASSERT_EQ(chown(home.path().c_str(), 65534, 65534), 0);

    ExitResult result =
        runToEnd({"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                  "/usr/bin/env", "HOME=" + home.path(), "DISPLAY=", launcher, "--args"});

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "");
    std::string expected = "TXMsgBox: fileOpenFd(" + extracted + "): Permission denied (13)";
    EXPECT_TRUE(result.reported(expected)) << result.errorOutput;
    EXPECT_EQ(directory.entries(), Names{"qvserverLauncher"});
}

TEST(LauncherFailureTest, ReportsAFullFileSystemWithWriteFailedAndRemovesThePartialFile) {
    TemporaryDirectory mountPoint;
    // Room for the launcher and half of the payload.
    auto size = (std::filesystem::file_size(installedLauncher) +
                 std::filesystem::file_size(embeddedPayload) / 2 + 8191) /
                4096 * 4096;
    std::string options = "size=" + std::to_string(size);
    if (mount("tmpfs", mountPoint.path().c_str(), "tmpfs", 0, options.c_str()) != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    std::string launcher = mountPoint.file("qvserverLauncher");
    copyExecutable(installedLauncher, launcher);
    Sandbox sandbox;

    ExitResult result = runToEnd(asRoot(sandbox, {launcher, "--args"}));

    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.reported("TXMsgBox: write failed: No space left on device (28)"))
        << result.errorOutput;
    EXPECT_EQ(mountPoint.entries(), Names{"qvserverLauncher"});
    umount(mountPoint.path().c_str());
}

// A launcher whose payload is a text file.
class BrokenPayloadTest : public LauncherTest {
protected:
    void SetUp() override { copyExecutable(brokenPayloadLauncher, launcher); }
};

TEST_F(BrokenPayloadTest, ReportsAPayloadThatCannotBeExecuted) {
    ExitResult result = runLauncher({"--args"});

    EXPECT_EQ(result.status, 1);
    std::string expected = "TXMsgBox: execve(" + extracted + "): Exec format error (8)";
    EXPECT_TRUE(result.reported(expected)) << result.errorOutput;
    EXPECT_EQ(directory.entries(), Names{"qvserverLauncher"});
}

TEST_F(BrokenPayloadTest, WithoutADisplayWritesTheDisplayFailureToStandardError) {
    ExitResult result = runToEnd(asRoot(sandbox, {"/usr/bin/env", "-u", "DISPLAY", launcher}));

    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.reported("\nunable to open display \"\"\n")) << result.errorOutput;
}

// The X and image libraries live inside the launcher: on a machine without them (a headless
// server) it still runs its payload and reports failures on standard error. The libraries are
// hidden under empty files in the sandbox's mount namespace; xdpyinfo shows that they are.
TEST_F(BrokenPayloadTest, NeedsNoXOrImageLibrariesAtRunTime) {
    if (!Sandbox::available())
        GTEST_SKIP() << "no mount namespaces here";
    writeFile(directory.file("empty"), "");
    copyExecutable(installedLauncher, directory.file("working"));
    const std::string hide =
        "for lib in libX11.so.6 libX11-xcb.so.1 libXext.so.6 libxcb.so.1 libXau.so.6 "
        "libXdmcp.so.6 libpng16.so.16 libz.so.1; do "
        "f=/usr/lib/x86_64-linux-gnu/$lib; [ -e $f ] && mount --bind \"$0\" $f; done; "
        "xdpyinfo -version >/dev/null 2>&1 && exit 99; exec \"$@\"";
    auto hidden = [&](std::vector<std::string> command) {
        command.insert(command.begin(), {"/bin/sh", "-c", hide, directory.file("empty")});
        return runToEnd(sandbox.wrap(command));
    };

    ExitResult works = hidden({directory.file("working"), "--args", "x"});
    ExitResult fails = hidden({"/usr/bin/env", "-u", "DISPLAY", launcher});

    EXPECT_EQ(works.status, 0) << works.errorOutput;
    EXPECT_NE(works.output.find("argv[1]=--args\nargv[2]=x\n"), std::string::npos);
    EXPECT_EQ(fails.status, 1);
    EXPECT_TRUE(fails.reported("TXMsgBox: execve(")) << fails.errorOutput;
    EXPECT_TRUE(fails.reported("\nunable to open display \"\"\n")) << fails.errorOutput;
    EXPECT_EQ(directory.entries(), (Names{"empty", "qvserverLauncher", "working"}));
}

} // namespace
