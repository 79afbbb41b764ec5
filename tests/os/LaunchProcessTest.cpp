// Launching children: program look-up, arguments, environment, descriptor set-up, failures
// between fork and exec, waiting and detaching.
#include "support/osTestSupport.h"

#include <os/unix/LaunchProcess.h>
#include <os/unix/signalDispositions.h>

#include <io/PollFdManager.h>
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

TEST(LaunchProcessExit, WaitWithoutChildRaises) {
    LaunchProcess launch(configFor({"/bin/true"}));
    EXPECT_EQ(raisedBy([&] { launch.wait(nullptr, 0); }).message,
              "LaunchProcess: process detached or not started");
}

// The status pipe must report the exec failure even when the child closes every descriptor.
TEST(LaunchProcessFailure, ExecFailureIsRaisedInTheParentWithTheChildsErrno) {
    TemporaryDirectory dir;
    std::string script = dir.write("script", "#!/bin/sh\nexit 0\n", 0644);
    for (int closeFrom : {-1, 3}) {
        SCOPED_TRACE(closeFrom);
        LaunchProcess::Config cfg = configFor({script.c_str()});
        cfg.closeFrom = closeFrom;
        LaunchProcess launch(cfg);
        Raised raised = raisedBy<plat::SystemException>([&] { launch.launch(); });
        EXPECT_EQ(raised.error, EACCES);
        EXPECT_TRUE(raised.startsWith("execve(" + script + ")")) << raised.message;
    }
}

TEST(LaunchProcessFailure, MisuseIsAnAssertionFailure) {
    LaunchProcess twice(configFor({"/bin/true"}));
    twice.launch();
    EXPECT_DEATH(twice.launch(), "Assertion '!used' failed");
    LaunchProcess relative(configFor({"true"}));
    EXPECT_DEATH(relative.launch(), "Assertion 'isAbsolutePath\\(cfg.args\\[0\\]\\)' failed");
    EXPECT_DEATH(relative.redirectDup2(1, 2),
                 "Assertion 'i != childDup.end\\(\\)' failed.*redirectDup2: fd 1 not redirected");
    LaunchProcess::Config detached = configFor({"/bin/true"});
    detached.dl = 1;
    LaunchProcess lowered(detached);
    EXPECT_DEATH(lowered.setDetachLevel(0), "Assertion 'dl >= cfg.dl' failed");
}

TEST(LaunchProcessSearch, FindsTheProgramOnPathOrRaises) {
    LaunchProcess::Config cfg = configFor({"sh", "-c", "exit 4"});
    cfg.searchPath = true;
    LaunchProcess found(cfg);
    EXPECT_EQ(exitCodeOf(found), 4);
    EXPECT_EQ(found.config().args[0].get()[0], '/');

    cfg.args[0] = plat::DString("qv-no-such-program");
    {
        EnvironmentChange path("PATH", "/usr/bin:~/bin:/bin");
        LaunchProcess launch(cfg);
        EXPECT_EQ(raisedBy([&] { launch.launch(); }).message,
                  "PATH contains invalid '~' character");
    }
    TemporaryDirectory dir;
    EnvironmentChange path("PATH", dir.path());
    LaunchProcess launch(cfg);
    Raised raised = raisedBy<plat::SystemException>([&] { launch.launch(); });
    EXPECT_EQ(raised.error, ENOENT);
    EXPECT_TRUE(raised.startsWith("qv-no-such-program does not exist or is not executable"))
        << raised.message;
}

TEST(LaunchProcessArguments, LogLineQuotesWhereNeeded) {
    LogCapture capture("*:stderr:100");
    LaunchProcess launch(
        configFor({"/bin/echo", "plain", "a b", "", "q\"x", "tail\\", "d e\\", "a\\\"b c"}));
    exitCodeOf(launch);
    EXPECT_TRUE(capture.contains("LaunchProcess: Launching /bin/echo plain \"a b\" \"\" "
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
    LaunchProcess::Config cfg = configFor({"/bin/sh", "-c", "env | grep ^QV_TEST_ | sort"});
    cfg.env.emplace(plat::DString("QV_TEST_REPLACE"), plat::DString("new"));
    cfg.unsetEnv.emplace_back("QV_TEST_DROP");
    EXPECT_EQ(outputOf(cfg), "QV_TEST_KEEP=kept\nQV_TEST_REPLACE=new\n");
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

// Child descriptor 0 gets the parent's 1 and child 1 the parent's 0; done in a forked test
// process so that this one keeps its own standard descriptors.
TEST(LaunchProcessDescriptors, SwappedDescriptorsDoNotOverwriteEachOther) {
    TemporaryDirectory dir;
    std::string zero = dir.write("zero", "", 0600);
    std::string one = dir.write("one", "", 0600);
    std::string script =
        "echo \"$(readlink /proc/$$/fd/0) $(readlink /proc/$$/fd/1)\" > " + dir.file("links");
    int status = testsupport::exitStatusOfForkedChild([&] {
        ::dup2(::open(zero.c_str(), O_RDWR), 0);
        ::dup2(::open(one.c_str(), O_RDWR), 1);
        LaunchProcess launch(configFor({"/bin/sh", "-c", script.c_str()}));
        launch.redirectFd(0, 1);
        launch.redirectFd(1, 0);
        return exitCodeOf(launch);
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(testsupport::readFile(dir.file("links")), one + " " + zero + "\n");
}

TEST(LaunchProcessDescriptors, StandardInputIsDevNullAndBothOutputsCanShareAFile) {
    TemporaryDirectory dir;
    LaunchProcess launch(configFor({"/bin/sh", "-c", "readlink /proc/$$/fd/0; echo err >&2"}));
    launch.redirectStdoutStderrToFile(dir.file("log").c_str(), false);
    exitCodeOf(launch);
    EXPECT_EQ(testsupport::readFile(dir.file("log")), "/dev/null\nerr\n");
}

TEST(LaunchProcessDescriptors, SocketSharedAcrossSeveralChildDescriptors) {
    LaunchProcess launch(configFor({"/bin/sh", "-c", "read line; echo \"$line-back\" >&4"}));
    plat::UniqueFd parentEnd = launch.prepareSocket({3, 4});
    launch.redirectDup2(3, 0);
    launch.launch();
    ASSERT_EQ(::write(parentEnd.get(), "ping\n", 5), 5);
    launch.wait(nullptr, -1);
    char reply[32] = {};
    EXPECT_EQ(::read(parentEnd.get(), reply, sizeof reply), 10);
    EXPECT_STREQ(reply, "ping-back\n");
}

TEST(LaunchProcessDescriptors, LaunchWithSocketHandsTheParentEndOverAsAConnection) {
    LaunchProcess launch(configFor({"/bin/sh", "-c", "read line <&3; echo \"$line-back\" >&4"}));
    std::unique_ptr<io::FdIo> connection = launch.launchWithSocket({3, 4});
    connection->outStream()->writeBytes("ping\n", 5);
    connection->outStream()->flush();
    plat::DString reply;
    connection->inStream()->readLine(reply);
    EXPECT_STREQ(reply.c_str(), "ping-back");
    EXPECT_FALSE(LaunchProcess(configFor({"/bin/true"})).launchWithSocket({})->inStream());
}

// The status pipe's own number must not displace a descriptor meant for the child at that number.
TEST(LaunchProcessDescriptors, StatusPipeDoesNotReplaceARedirection) {
    TemporaryDirectory dir;
    std::string target = dir.write("target", "", 0600);
    int targetFd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
    int outFd = ::open(dir.file("out").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
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
    EXPECT_EQ(testsupport::readFile(dir.file("out")), target + "\n");
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

class PreExec : public os::PreExecCallback {
public:
    explicit PreExec(int error) : error(error) {}
    void preExec(LaunchProcess&, int statusFd) override {
        if (error)
            os::reportChildFailure(statusFd, "preExec", error);
    }
    int error;
};

TEST(LaunchProcessForkOnly, EndsWithStatusZeroAfterThePreExecCallbackOrRaisesItsFailure) {
    LogCapture capture("*:stderr:100");
    PreExec quiet(0);
    LaunchProcess succeeding(LaunchProcess::Config{});
    succeeding.setPreExecCallback(&quiet);
    EXPECT_EQ(exitCodeOf(succeeding), 0);
    EXPECT_TRUE(capture.contains("LaunchProcess: Launching (fork)\n")) << capture.text();

    PreExec failing(EPERM);
    LaunchProcess failed(LaunchProcess::Config{});
    failed.setPreExecCallback(&failing);
    Raised raised = raisedBy<plat::SystemException>([&] { failed.launch(); });
    EXPECT_EQ(raised.error, EPERM);
    EXPECT_TRUE(raised.startsWith("preExec: ")) << raised.message;
}

class RaiseSignals : public os::PreExecCallback {
public:
    void preExec(LaunchProcess&, int) override {
        ::kill(::getpid(), SIGUSR1);
        ::kill(::getpid(), SIGUSR2);
    }
};

extern "C" void exitFromParentHandler(int) {
    ::_exit(99);
}

// In a forked process that was started with SIGUSR1 ignored and SIGUSR2 at its default, and then
// caught both: the signal that ended the launched child, or 100 plus its exit status.
int endOfChildWithCaughtSignals(const LaunchProcess::Config& cfg, os::PreExecCallback* preExec) {
    return testsupport::exitStatusOfForkedChild([&] {
        ::signal(SIGUSR1, SIG_IGN);
        os::catchSignal(SIGUSR1, exitFromParentHandler);
        os::catchSignal(SIGUSR2, exitFromParentHandler);
        LaunchProcess launch(cfg);
        launch.setPreExecCallback(preExec);
        int exitCode = exitCodeOf(launch);
        return exitCode < 0 ? -exitCode : 100 + exitCode;
    });
}

TEST(LaunchProcessSignals, ParentHandlersNeverRunInTheChildBeforeExec) {
    RaiseSignals raise;
    EXPECT_EQ(endOfChildWithCaughtSignals(configFor({"/bin/true"}), &raise), SIGUSR2);
}

// An ignored signal stays ignored, a default one kills, and nothing is left blocked.
TEST(LaunchProcessSignals, ProgramStartsWithTheDispositionsAndMaskTheParentWasStartedWith) {
    LaunchProcess::Config cfg =
        configFor({"/bin/sh", "-c", "kill -USR1 $$; kill -USR2 $$; exit 3"});
    EXPECT_EQ(endOfChildWithCaughtSignals(cfg, nullptr), SIGUSR2);
}

TEST(LaunchProcessDetach, LevelTwoLeavesNoZombieBehind) {
    TemporaryDirectory dir;
    std::string parent = dir.file("parent");
    std::string script = "echo $PPID > " + parent + ".tmp; mv " + parent + ".tmp " + parent;
    LaunchProcess::Config cfg = configFor({"/bin/sh", "-c", script.c_str()});
    cfg.dl = 2;
    LaunchProcess(cfg).launch();
    ASSERT_TRUE(ostest::eventually([&] { return !testsupport::readFile(parent).empty(); }));
    EXPECT_NE(testsupport::readFile(parent), std::to_string(::getpid()) + "\n");
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

class RecordingExit : public os::ProcessMonitor::ExitCallback {
public:
    void processExited(os::ProcessMonitor*, int exitCode, int) override { code = exitCode; }
    int code = -1000;
};

TEST(LaunchProcessDetach, ReleasedChildIsReportedByItsMonitor) {
    io::PollFdManager manager;
    RecordingExit exitRecord;
    LaunchProcess launch(configFor({"/bin/sh", "-c", "exit 5"}));
    launch.launch();
    std::unique_ptr<os::ProcessMonitor> monitor = launch.releaseToMonitor(&exitRecord);
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
    std::string out = dir.file("out");
    std::string script = "cat > " + out + ".tmp; mv " + out + ".tmp " + out;
    plat::UniqueFd input = os::launchWithStdinPipe(
        {plat::DString("/bin/sh"), plat::DString("-c"), plat::DString(script.c_str())});
    ASSERT_EQ(::write(input.get(), "fed", 3), 3);
    input.reset();
    ASSERT_TRUE(ostest::eventually([&] { return !testsupport::readFile(out).empty(); }));
    EXPECT_EQ(testsupport::readFile(out), "fed");
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

// The descriptor is non-blocking: the stream must wait for output that has not come yet.
TEST(LaunchProcessCapture, StreamWaitsForOutputAndSeesItsEnd) {
    LaunchProcess launch(configFor({"/bin/sh", "-c", "sleep 0.2; echo hello"}));
    std::unique_ptr<rdr::FdInStream> output = launch.launchCaptureOutput();
    plat::DString line;
    output->readLine(line);
    EXPECT_STREQ(line.c_str(), "hello");
    EXPECT_THROW(output->readU8(), rdr::EndOfStream);
}

} // namespace
