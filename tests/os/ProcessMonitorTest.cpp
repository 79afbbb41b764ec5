// Reaping children: how their ends are logged, polling waits, the background reaper and the
// monitor's exit callback.
#include "support/osTestSupport.h"

#include <os/unix/ProcessMonitor.h>

#include <io/PollFdManager.h>
#include <plat/Exception.h>

#include <support/LogCapture.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace {

using os::PidCleanup;
using os::ProcessMonitor;
using testsupport::LogCapture;

// A child that waits to be killed.
pid_t forkSleepingChild() {
    pid_t pid = ::fork();
    if (pid == 0) {
        while (true)
            ::pause();
    }
    return pid;
}

pid_t forkExitingChild(int status) {
    pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(status);
    return pid;
}

// Waits until the child has ended without reaping it.
void awaitEndWithoutReaping(pid_t pid) {
    siginfo_t info{};
    while (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
}

std::string endLine(pid_t pid, const char* name, const char* how, const char* what) {
    return "ProcessMonitor: child " + std::to_string(pid) + " (" + name + ") exited with " + how +
           " " + what + "\n";
}

TEST(ExitCodeDecoding, ExitStatusSignalAndStop) {
    EXPECT_EQ(os::decodeExitCode(42 << 8), 42);
    EXPECT_EQ(os::decodeExitCode(SIGKILL), -SIGKILL);
    EXPECT_EQ(os::decodeExitCode((SIGSTOP << 8) | 0x7f), -1);
}

TEST(PidCleanupLogging, DeathBySignalIsLoggedWithItsNameOrNumber) {
    struct {
        int signal;
        const char* name;
        const char* logged;
    } cases[] = {{SIGTERM, "sleeper", "SIGTERM"}, {64, nullptr, "64"}};
    for (const auto& item : cases) {
        LogCapture capture("*:stderr:100");
        pid_t pid = forkSleepingChild();
        {
            PidCleanup child(pid, item.name);
            ::kill(pid, item.signal);
        }
        EXPECT_TRUE(capture.contains(
            endLine(pid, item.name ? item.name : "<unknown>", "signal", item.logged)))
            << capture.text();
    }
}

TEST(PidCleanupLogging, ZeroExitIsNotLogged) {
    LogCapture capture("*:stderr:100");
    { PidCleanup child(forkExitingChild(0), "quiet"); }
    EXPECT_FALSE(capture.contains("exited with")) << capture.text();
}

TEST(PidCleanupLogging, WaitpidFailureInDestructorIsLoggedNotThrown) {
    LogCapture capture("*:stderr:100");
    pid_t pid = forkExitingChild(0);
    ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
    { PidCleanup child(pid, "gone"); }
    EXPECT_TRUE(capture.contains("~PidCleanup: waitpid: No child processes")) << capture.text();
}

TEST(PidCleanupWait, TimedWaitReturnsFalseThenTrue) {
    pid_t pid = forkSleepingChild();
    PidCleanup child(pid, "sleeper");
    EXPECT_FALSE(child.timedWait(nullptr, 120));
    EXPECT_FALSE(child.timedWait(nullptr, 0));
    ::kill(pid, SIGKILL);
    int status = 0;
    EXPECT_TRUE(child.timedWait(&status, 60000));
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(child.pid(), -1);
}

TEST(PidCleanupWait, AssigningANewPidWaitsForTheOldOne) {
    pid_t first = forkExitingChild(0);
    pid_t second = forkExitingChild(0);
    PidCleanup child(first, "first");
    child.assign(second, "second");
    errno = 0;
    EXPECT_EQ(::waitpid(first, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    EXPECT_EQ(child.pid(), second);
}

TEST(BackgroundReaper, DetachedChildIsReapedAndItsEndLogged) {
    LogCapture capture("*:stderr:100");
    io::PollFdManager manager;
    pid_t pid = forkExitingChild(3);
    os::detachProcess(pid);
    // The end is logged once the child has been waited for.
    std::string logged = endLine(pid, "<detached>", "status", "3");
    EXPECT_TRUE(ostest::eventually([&] { return capture.contains(logged); }, &manager))
        << capture.text();
}

TEST(BackgroundReaper, UnknownPidIsLoggedAndDropped) {
    LogCapture capture("*:stderr:100");
    io::PollFdManager manager;
    pid_t pid = forkExitingChild(0);
    ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
    os::detachProcess(pid);
    EXPECT_TRUE(capture.contains("waitpid(" + std::to_string(pid) + ") detached: "))
        << capture.text();
}

class RecordingExit : public ProcessMonitor::ExitCallback {
public:
    void processExited(ProcessMonitor* monitor, int exitCode, int status) override {
        ++calls;
        last = {monitor, exitCode, status};
    }

    int calls = 0;
    std::tuple<ProcessMonitor*, int, int> last;
};

TEST(ProcessMonitorExit, ChildThatEndedBeforehandIsReportedOnTheFirstTimerPass) {
    io::PollFdManager manager;
    pid_t pid = forkExitingChild(7);
    awaitEndWithoutReaping(pid);
    RecordingExit exitRecord;
    ProcessMonitor monitor(pid, &exitRecord, "early");
    EXPECT_EQ(exitRecord.calls, 0);
    manager.wait(0);
    EXPECT_EQ(exitRecord.calls, 1);
    EXPECT_EQ(exitRecord.last, std::make_tuple(&monitor, 7, 7 << 8));
    EXPECT_EQ(monitor.pid(), -1);
}

TEST(ProcessMonitorExit, KilledChildIsReportedThroughSigchld) {
    io::PollFdManager manager;
    RecordingExit exitRecord;
    ProcessMonitor monitor(forkSleepingChild(), &exitRecord, "later");
    manager.wait(0);
    EXPECT_EQ(exitRecord.calls, 0);
    monitor.kill(SIGTERM);
    EXPECT_TRUE(ostest::eventually([&] { return exitRecord.calls > 0; }, &manager));
    EXPECT_EQ(exitRecord.calls, 1);
    EXPECT_EQ(std::get<1>(exitRecord.last), -SIGTERM);
}

TEST(ProcessMonitorKill, KillOfAChildReapedElsewhereIsLoggedAndDetaches) {
    LogCapture capture("*:stderr:100");
    io::PollFdManager manager;
    pid_t pid = forkExitingChild(0);
    ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
    RecordingExit exitRecord;
    ProcessMonitor monitor(pid, &exitRecord, "reaped");
    monitor.kill(9);
    EXPECT_EQ(monitor.pid(), -1);
    EXPECT_TRUE(capture.contains("ProcessMonitor: kill(" + std::to_string(pid) +
                                 ",SIGKILL): No such process (3)\n"))
        << capture.text();
    manager.wait(0);
    EXPECT_EQ(exitRecord.calls, 0);
}

} // namespace
