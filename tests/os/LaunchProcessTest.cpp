// Launching children: program look-up, arguments, environment, descriptor set-up, failures
// between fork and exec, waiting and detaching.
#include "support/osTestSupport.h"

#include <os/unix/LaunchProcess.h>

#include <io/FdManager.h>
#include <plat/Exception.h>
#include <rdr/Exception.h>

#include <support/EnvironmentChange.h>
#include <support/LogCapture.h>
#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>
#include <support/forkedChild.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using os::LaunchProcess;
using testsupport::EnvironmentChange;
using testsupport::LogCapture;
using testsupport::Raised;
using testsupport::raisedBy;
using testsupport::TemporaryDirectory;

LaunchProcess::Config configFor(std::initializer_list<const char*> args) {
    LaunchProcess::Config cfg;
    for (const char* arg : args)
        cfg.args.emplace_back(arg);
    return cfg;
}

int openForWriting(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Launches and waits; the exit code, or -1000 when the wait failed.
int exitCodeOf(LaunchProcess& launch) {
    launch.launch();
    int exitCode = -1000;
    return launch.wait(&exitCode, -1) ? exitCode : -1000;
}

// Runs cfg with its standard output in a file and returns what it wrote.
std::string outputOf(const LaunchProcess::Config& cfg) {
    TemporaryDirectory dir;
    LaunchProcess launch(cfg);
    launch.redirectFile(1, false, dir.file("out").c_str(), false);
    EXPECT_EQ(exitCodeOf(launch), 0);
    return testsupport::readFile(dir.file("out"));
}

// A script that copies its arguments to standard output, each followed by a NUL byte.
constexpr const char* PrintArguments =
    "for a in \"$@\"; do printf '%s' \"$a\"; printf '\\000'; done";

TEST(LaunchProcessExit, FailingProgramIsWaitedForAndItsStatusLogged) {
    LogCapture capture("*:stderr:100");
    pid_t pid;
    {
        LaunchProcess launch(configFor({"/bin/false"}));
        EXPECT_TRUE(launch.launch());
        pid = launch.pid();
    }
    std::string expected = "child " + std::to_string(pid) + " (/bin/false) exited with status 1";
    EXPECT_TRUE(contains(capture.text(), expected)) << capture.text();
}

TEST(LaunchProcessExit, SuccessfulProgramLeavesNoExitLine) {
    LogCapture capture("*:stderr:100");
    {
        LaunchProcess launch(configFor({"/bin/true"}));
        launch.launch();
    }
    EXPECT_FALSE(contains(capture.text(), "exited with")) << capture.text();
}

TEST(LaunchProcessExit, WaitDecodesExitStatusAndSignal) {
    LaunchProcess exiting(configFor({"/bin/sh", "-c", "exit 7"}));
    EXPECT_EQ(exitCodeOf(exiting), 7);

    LaunchProcess killed(configFor({"/bin/sh", "-c", "kill -TERM $$"}));
    EXPECT_EQ(exitCodeOf(killed), -SIGTERM);
}

TEST(LaunchProcessExit, WaitWithoutChildRaises) {
    LaunchProcess launch(configFor({"/bin/true"}));
    EXPECT_EQ(raisedBy([&] { launch.wait(nullptr, 0); }).message,
              "LaunchProcess: process detached or not started");
}

TEST(LaunchProcessFailure, FileWithoutExecuteBitRaisesExecveWithEacces) {
    TemporaryDirectory dir;
    testsupport::writeFile(dir.file("script"), "#!/bin/sh\nexit 0\n", 0644);
    LogCapture capture("*:stderr:100");
    LaunchProcess launch(configFor({dir.file("script").c_str()}));
    try {
        launch.launch();
        FAIL() << "no exception";
    } catch (const plat::SystemException& e) {
        EXPECT_EQ(e.error(), EACCES);
        EXPECT_EQ(std::string(e.message()).rfind("execve(" + dir.file("script") + ")", 0), 0u)
            << e.message();
    }
}

TEST(LaunchProcessFailure, ExecFailureIsReportedEvenWhenClosingAllDescriptors) {
    TemporaryDirectory dir;
    testsupport::writeFile(dir.file("script"), "#!/bin/sh\nexit 0\n", 0644);
    LaunchProcess::Config cfg = configFor({dir.file("script").c_str()});
    cfg.closeFrom = 3;
    LaunchProcess launch(cfg);
    Raised raised = raisedBy<plat::SystemException>([&] { launch.launch(); });
    EXPECT_EQ(raised.error, EACCES);
}

TEST(LaunchProcessFailure, LaunchingTwiceIsAnAssertionFailure) {
    LaunchProcess launch(configFor({"/bin/true"}));
    launch.launch();
    EXPECT_DEATH(launch.launch(), "Assertion '!used' failed");
}

TEST(LaunchProcessFailure, RelativeProgramWithoutSearchIsAnAssertionFailure) {
    LaunchProcess launch(configFor({"true"}));
    EXPECT_DEATH(launch.launch(), "Assertion 'isAbsolutePath\\(cfg.args\\[0\\]\\)' failed");
}

TEST(LaunchProcessSearch, FindsProgramOnPath) {
    LaunchProcess::Config cfg = configFor({"sh", "-c", "exit 4"});
    cfg.searchPath = true;
    LaunchProcess launch(cfg);
    EXPECT_EQ(exitCodeOf(launch), 4);
    EXPECT_EQ(launch.config().args[0].get()[0], '/');
}

TEST(LaunchProcessSearch, TildeInPathRaises) {
    EnvironmentChange path("PATH", "/usr/bin:~/bin:/bin");
    LaunchProcess::Config cfg = configFor({"sh"});
    cfg.searchPath = true;
    LaunchProcess launch(cfg);
    EXPECT_EQ(raisedBy([&] { launch.launch(); }).message, "PATH contains invalid '~' character");
}

TEST(LaunchProcessSearch, MissingProgramRaisesEnoent) {
    TemporaryDirectory dir;
    EnvironmentChange path("PATH", dir.path());
    LaunchProcess::Config cfg = configFor({"qv-no-such-program"});
    cfg.searchPath = true;
    LaunchProcess launch(cfg);
    try {
        launch.launch();
        FAIL() << "no exception";
    } catch (const plat::SystemException& e) {
        EXPECT_EQ(e.error(), ENOENT);
        EXPECT_EQ(std::string(e.message())
                      .rfind("qv-no-such-program does not exist or is not executable", 0),
                  0u);
    }
}

TEST(LaunchProcessArguments, ArePassedByteForByte) {
    const char* args[] = {"two words",   "",          "\xff\xfe not UTF-8", "quote\"inside",
                          "back\\slash", "tab\there", "new\nline"};
    LaunchProcess::Config cfg = configFor({"/bin/sh", "-c", PrintArguments, "sh"});
    std::string expected;
    for (const char* arg : args) {
        cfg.args.emplace_back(arg);
        expected.append(arg).push_back('\0');
    }
    EXPECT_EQ(outputOf(cfg), expected);
}

TEST(LaunchProcessArguments, LogLineQuotesWhereNeeded) {
    LogCapture capture("*:stderr:100");
    LaunchProcess launch(
        configFor({"/bin/echo", "plain", "a b", "", "q\"x", "tail\\", "d e\\", "a\\\"b c"}));
    launch.launch();
    launch.wait(nullptr, -1);
    EXPECT_TRUE(contains(capture.text(), "LaunchProcess: Launching /bin/echo plain \"a b\" \"\" "
                                         "\"q\\\"x\" tail\\ \"d e\\\\\" \"a\\\\\\\"b c\"\n"))
        << capture.text();
}

TEST(LaunchProcessArguments, SetuidHelperIsPutInFront) {
    if (::getuid() != 0)
        GTEST_SKIP() << "the setuid helper needs root";
    LaunchProcess::Config cfg = configFor({"/bin/echo", "x"});
    cfg.setuidHelperUser = 1234;
    cfg.setuidHelperIsSelf = false;
    EXPECT_EQ(outputOf(cfg), "-setuidhelper 1234 /bin/echo x\n");
}

TEST(LaunchProcessEnvironment, SetVariablesWinAndUnsetOnesAreDropped) {
    EnvironmentChange keep("QV_TEST_KEEP", "kept");
    EnvironmentChange drop("QV_TEST_DROP", "dropped");
    EnvironmentChange replace("QV_TEST_REPLACE", "old");
    LaunchProcess::Config cfg = configFor({"/usr/bin/env"});
    cfg.env.emplace(plat::DString("QV_TEST_REPLACE"), plat::DString("new"));
    cfg.unsetEnv.emplace_back("QV_TEST_DROP");
    std::string output = outputOf(cfg);
    EXPECT_TRUE(contains(output, "QV_TEST_KEEP=kept\n")) << output;
    EXPECT_TRUE(contains(output, "QV_TEST_REPLACE=new\n")) << output;
    EXPECT_FALSE(contains(output, "QV_TEST_REPLACE=old")) << output;
    EXPECT_FALSE(contains(output, "QV_TEST_DROP")) << output;
}

TEST(LaunchProcessEnvironment, ClearedEnvironmentHoldsOnlyTheSetVariablesInByteOrder) {
    EnvironmentChange inherited("QV_TEST_INHERITED", "x");
    LaunchProcess::Config cfg = configFor({"/usr/bin/env"});
    cfg.clearEnv = true;
    cfg.env.emplace(plat::DString("b"), plat::DString("2"));
    cfg.env.emplace(plat::DString("B"), plat::DString("1"));
    cfg.env.emplace(plat::DString("EMPTY"), plat::DString(""));
    EXPECT_EQ(outputOf(cfg), "B=1\nEMPTY=\nb=2\n");
}

TEST(LaunchProcessDescriptors, RedirectDup2OfUnknownDescriptorIsAnAssertionFailure) {
    LaunchProcess launch(configFor({"/bin/true"}));
    EXPECT_DEATH(launch.redirectDup2(1, 2),
                 "Assertion 'i != childDup.end\\(\\)' failed.*redirectDup2: fd 1 not redirected");
}

// Child descriptor 0 gets the parent's 1 and child 1 the parent's 0; done in a forked test
// process so that this one keeps its own standard descriptors.
TEST(LaunchProcessDescriptors, SwappedDescriptorsDoNotOverwriteEachOther) {
    TemporaryDirectory dir;
    testsupport::writeFile(dir.file("zero"), "", 0600);
    testsupport::writeFile(dir.file("one"), "", 0600);
    std::string script = "zero=$(readlink /proc/$$/fd/0); one=$(readlink /proc/$$/fd/1); "
                         "echo \"$zero $one\" > " +
                         dir.file("links");
    int status = testsupport::exitStatusOfForkedChild([&] {
        ::dup2(::open(dir.file("zero").c_str(), O_RDWR), 0);
        ::dup2(::open(dir.file("one").c_str(), O_RDWR), 1);
        LaunchProcess launch(configFor({"/bin/sh", "-c", script.c_str()}));
        launch.redirectFd(0, 1);
        launch.redirectFd(1, 0);
        return exitCodeOf(launch);
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(testsupport::readFile(dir.file("links")),
              dir.file("one") + " " + dir.file("zero") + "\n");
}

TEST(LaunchProcessDescriptors, StdoutAndStderrGoToOneFile) {
    TemporaryDirectory dir;
    LaunchProcess launch(configFor({"/bin/sh", "-c", "echo out; echo err >&2"}));
    launch.redirectStdoutStderrToFile(dir.file("log").c_str(), false);
    launch.launch();
    launch.wait(nullptr, -1);
    EXPECT_EQ(testsupport::readFile(dir.file("log")), "out\nerr\n");
}

TEST(LaunchProcessDescriptors, StandardInputDefaultsToDevNull) {
    std::string script = "readlink /proc/$$/fd/0";
    EXPECT_EQ(outputOf(configFor({"/bin/sh", "-c", script.c_str()})), "/dev/null\n");
}

TEST(LaunchProcessDescriptors, PipeCarriesDataToTheChild) {
    TemporaryDirectory dir;
    LaunchProcess launch(configFor({"/bin/sh", "-c", "cat"}));
    int childFd = 0;
    plat::UniqueFd toChild = launch.createPipe(childFd, true);
    launch.redirectFile(1, false, dir.file("out").c_str(), false);
    launch.launch();
    ASSERT_EQ(::write(toChild.get(), "through the pipe", 16), 16);
    toChild.reset();
    launch.wait(nullptr, -1);
    EXPECT_EQ(testsupport::readFile(dir.file("out")), "through the pipe");
}

TEST(LaunchProcessDescriptors, SocketSharedAcrossSeveralChildDescriptors) {
    LaunchProcess launch(configFor({"/bin/sh", "-c", "read line; echo \"$line-back\" >&4"}));
    plat::UniqueFd parentEnd = launch.prepareSocket({3, 4});
    launch.redirectDup2(3, 0);
    launch.launch();
    ASSERT_EQ(::write(parentEnd.get(), "ping\n", 5), 5);
    char reply[32] = {};
    std::string received;
    while (received.find('\n') == std::string::npos) {
        ssize_t got = ::read(parentEnd.get(), reply, sizeof reply);
        ASSERT_GT(got, 0);
        received.append(reply, std::size_t(got));
    }
    EXPECT_EQ(received, "ping-back\n");
    launch.wait(nullptr, -1);
}

// The status pipe's own number must not displace a descriptor meant for the child at that number.
TEST(LaunchProcessDescriptors, StatusPipeDoesNotReplaceARedirection) {
    TemporaryDirectory dir;
    testsupport::writeFile(dir.file("target"), "", 0600);
    int targetFd = ::open(dir.file("target").c_str(), O_RDONLY | O_CLOEXEC);
    int outFd = openForWriting(dir.file("out"));
    int inFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    int firstFree = ::dup(0);
    int secondFree = ::dup(0);
    ::close(firstFree);
    ::close(secondFree);
    std::string script = "readlink /proc/$$/fd/" + std::to_string(secondFree);
    LaunchProcess launch(configFor({"/bin/sh", "-c", script.c_str()}));
    launch.redirectFd(0, inFd);
    launch.redirectFd(1, outFd);
    launch.redirectFd(secondFree, targetFd);
    EXPECT_EQ(exitCodeOf(launch), 0);
    EXPECT_EQ(testsupport::readFile(dir.file("out")), dir.file("target") + "\n");
}

TEST(LaunchProcessDescriptors, CloseFromClosesInheritedDescriptors) {
    int leaked = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(leaked, 3);
    std::string script =
        "if test -e /proc/$$/fd/" + std::to_string(leaked) + "; then echo open; fi";
    LaunchProcess::Config cfg = configFor({"/bin/sh", "-c", script.c_str()});
    EXPECT_EQ(outputOf(cfg), "open\n");
    cfg.closeFrom = 3;
    EXPECT_EQ(outputOf(cfg), "");
    ::close(leaked);
}

class FailingPreExec : public os::PreExecCallback {
public:
    void preExec(LaunchProcess&, int statusFd) override {
        os::reportChildFailure(statusFd, "preExec", EPERM);
    }
};

class QuietPreExec : public os::PreExecCallback {
public:
    void preExec(LaunchProcess&, int) override {}
};

TEST(LaunchProcessForkOnly, EndsWithStatusZeroAfterThePreExecCallback) {
    LogCapture capture("*:stderr:100");
    QuietPreExec callback;
    LaunchProcess launch(LaunchProcess::Config{});
    launch.setPreExecCallback(&callback);
    EXPECT_TRUE(launch.launch());
    int exitCode = -1;
    ASSERT_TRUE(launch.wait(&exitCode, -1));
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(contains(capture.text(), "LaunchProcess: Launching (fork)\n")) << capture.text();
}

TEST(LaunchProcessForkOnly, PreExecFailureIsRaisedInTheParent) {
    FailingPreExec callback;
    LaunchProcess launch(LaunchProcess::Config{});
    launch.setPreExecCallback(&callback);
    Raised raised = raisedBy<plat::SystemException>([&] { launch.launch(); });
    EXPECT_EQ(raised.error, EPERM);
    EXPECT_TRUE(raised.startsWith("preExec: ")) << raised.message;
}

TEST(LaunchProcessWait, PollOnRunningChildReturnsFalse) {
    LaunchProcess launch(configFor({"/bin/sleep", "30"}));
    launch.launch();
    EXPECT_FALSE(launch.wait(nullptr, 0));
    ::kill(launch.pid(), SIGKILL);
    EXPECT_TRUE(launch.wait(nullptr, -1));
}

TEST(LaunchProcessWait, TimedWaitTimesOutThenSucceeds) {
    LaunchProcess launch(configFor({"/bin/sleep", "1"}));
    launch.launch();
    EXPECT_FALSE(launch.wait(nullptr, 100));
    int exitCode = -1;
    EXPECT_TRUE(launch.wait(&exitCode, 60000));
    EXPECT_EQ(exitCode, 0);
}

TEST(LaunchProcessDetach, LevelTwoLeavesNoZombieBehind) {
    TemporaryDirectory dir;
    std::string script = "echo $PPID > " + dir.file("parent") + ".tmp; mv " + dir.file("parent") +
                         ".tmp " + dir.file("parent");
    LaunchProcess::Config cfg = configFor({"/bin/sh", "-c", script.c_str()});
    cfg.dl = 2;
    {
        LaunchProcess launch(cfg);
        launch.launch();
        EXPECT_EQ(launch.pid(), -1);
    }
    ASSERT_TRUE(
        ostest::eventually([&] { return !testsupport::readFile(dir.file("parent")).empty(); }));
    EXPECT_NE(testsupport::readFile(dir.file("parent")), std::to_string(::getpid()) + "\n");
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(LaunchProcessDetach, LoweringTheDetachLevelIsAnAssertionFailure) {
    LaunchProcess::Config cfg = configFor({"/bin/true"});
    cfg.dl = 1;
    LaunchProcess launch(cfg);
    EXPECT_DEATH(launch.setDetachLevel(0), "Assertion 'dl >= cfg.dl' failed");
}

TEST(LaunchProcessDetach, DetachedChildIsReapedInTheBackground) {
    io::FdManager manager;
    LaunchProcess launch(configFor({"/bin/true"}));
    launch.launch();
    pid_t pid = launch.pid();
    launch.setDetachLevel(2);
    EXPECT_EQ(launch.pid(), -1);
    EXPECT_TRUE(ostest::eventually([&] { return ostest::isReaped(pid); }, &manager));
}

class RecordingExit : public os::ProcessMonitor::ExitCallback {
public:
    void processExited(os::ProcessMonitor*, int exitCode, int) override { code = exitCode; }
    int code = -1000;
};

TEST(LaunchProcessDetach, ReleasedChildIsReportedByItsMonitor) {
    io::FdManager manager;
    RecordingExit exitRecord;
    LaunchProcess launch(configFor({"/bin/sh", "-c", "exit 5"}));
    launch.launch();
    std::unique_ptr<os::ProcessMonitor> monitor = launch.releaseToMonitor(&exitRecord);
    EXPECT_EQ(launch.pid(), -1);
    EXPECT_STREQ(monitor->name(), "/bin/sh");
    EXPECT_TRUE(ostest::eventually([&] { return exitRecord.code != -1000; }, &manager));
    EXPECT_EQ(exitRecord.code, 5);
}

TEST(LaunchProcessHelpers, RunProgramReturnsTheExitCode) {
    EXPECT_EQ(os::runProgram({plat::DString("sh"), plat::DString("-c"), plat::DString("exit 3")}),
              3);
}

TEST(LaunchProcessHelpers, StdinPipeFeedsADetachedChild) {
    TemporaryDirectory dir;
    std::string script =
        "cat > " + dir.file("out") + ".tmp; mv " + dir.file("out") + ".tmp " + dir.file("out");
    plat::UniqueFd input = os::launchWithStdinPipe(
        {plat::DString("/bin/sh"), plat::DString("-c"), plat::DString(script.c_str())});
    ASSERT_EQ(::write(input.get(), "fed", 3), 3);
    input.reset();
    ASSERT_TRUE(
        ostest::eventually([&] { return !testsupport::readFile(dir.file("out")).empty(); }));
    EXPECT_EQ(testsupport::readFile(dir.file("out")), "fed");
}

TEST(LaunchProcessCapture, ReturnsTheWholeOutputAndDropsStandardError) {
    LaunchProcess launch(configFor({"/bin/sh", "-c", "seq 1 20000; echo oops >&2; exit 4"}));
    int exitCode = -1;

    plat::DString output = launch.runCaptureOutput(&exitCode, -1);

    std::string expected;
    for (int i = 1; i <= 20000; ++i)
        expected += std::to_string(i) + "\n";
    EXPECT_EQ(output.c_str(), expected);
    EXPECT_EQ(exitCode, 4);
}

TEST(LaunchProcessCapture, TimesOutAfterReadingAllOutputWhenTheChildKeepsRunning) {
    LaunchProcess launch(configFor({"/bin/sh", "-c", "echo early; exec >&-; sleep 2"}));

    Raised raised = raisedBy<plat::TimedOut>([&] { launch.runCaptureOutput(nullptr, 100); });
    EXPECT_EQ(raised.message, "Timed out waiting for process to exit");
    EXPECT_EQ(raised.type, "TimedOut");
}

TEST(LaunchProcessCapture, StreamSeesEndOfOutputWhenTheChildCloses) {
    LaunchProcess launch(configFor({"/bin/echo", "hello"}));

    std::unique_ptr<rdr::FdInStream> output = launch.launchCaptureOutput();

    plat::DString line;
    output->readLine(line);
    EXPECT_STREQ(line.c_str(), "hello");
    EXPECT_THROW(output->readU8(), rdr::EndOfStream);
}

} // namespace
