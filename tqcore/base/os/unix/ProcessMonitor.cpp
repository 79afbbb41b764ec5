// Reaping children: blocking and polling waits, the SIGCHLD-driven background reaper, and the
// monitor that reports a child's end to its owner.
#include <os/unix/ProcessMonitor.h>

#include <io/FdManager.h>
#include <plat/Exception.h>
#include <plat/Log.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/select.h>
#include <sys/wait.h>
#include <vector>

namespace os {

namespace {

plat::LogSrc processLog("ProcessMonitor");

// A zero exit status is the normal case and is not logged.
void logChildEnd(pid_t pid, const char* name, int status) {
    if (!name)
        name = "<unknown>";
    char detail[16];
    if (WIFSIGNALED(status))
        std::snprintf(detail, sizeof detail, "%s", describeSignal(WTERMSIG(status)).text);
    else if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
        std::snprintf(detail, sizeof detail, "%d", WEXITSTATUS(status));
    else
        return;
    processLog.debug("child %lu (%s) exited with %s %s", (unsigned long)pid, name,
                     WIFSIGNALED(status) ? "signal" : "status", detail);
}

pid_t waitpidRestarting(pid_t pid, int* status, int options) {
    pid_t result;
    do {
        result = ::waitpid(pid, status, options);
    } while (result < 0 && errno == EINTR);
    return result;
}

class BackgroundReaper : public SignalHandler::Callback {
public:
    BackgroundReaper() { SignalHandler::instance().setHandler(SIGCHLD, this, true); }
    ~BackgroundReaper() override { SignalHandler::instance().setHandler(SIGCHLD, this, false); }

    void detach(pid_t pid) {
        SignalHandler::instance().ensureWakeup();
        pids.push_back(pid);
        reap();
    }

    void handleSignal(int) override { reap(); }

private:
    void reap() {
        std::erase_if(pids, [](pid_t pid) { return reaped(pid); });
    }

    // True when the pid needs no more tracking.
    static bool reaped(pid_t pid) {
        int status = 0;
        pid_t result = waitpidRestarting(pid, &status, WNOHANG);
        if (result == 0)
            return false;
        if (result > 0)
            logChildEnd(pid, "<detached>", status);
        else
            processLog.error("waitpid(%lu) detached: %s", (unsigned long)pid, std::strerror(errno));
        return true;
    }

    std::vector<pid_t> pids;
};

// Created with the thread's descriptor manager in place; destroyed at exit before the signal
// handler it registered with.
BackgroundReaper* ensureReaper() {
    if (!io::FdManager::current())
        return nullptr;
    static BackgroundReaper reaper;
    return &reaper;
}

// Sleeps are capped at a tenth of the time-out, kept between 50 ms and 1 s.
int pollInterval(int timeoutMs) {
    return std::clamp(timeoutMs / 10, 50, 1000);
}

int remainingMilliseconds(plat::Ticks deadline) {
    plat::Ticks remaining = deadline - plat::monotonicNow();
    if (remaining <= 0)
        return 0;
    return int((remaining + plat::TicksPerMillisecond - 1) / plat::TicksPerMillisecond);
}

// SIGCHLD ends the sleep early when the reaper has installed its handler.
void sleepMilliseconds(int milliseconds) {
    timeval interval{milliseconds / 1000, (milliseconds % 1000) * 1000};
    if (::select(0, nullptr, nullptr, nullptr, &interval) < 0 && errno != EINTR)
        throw plat::SystemException("select", errno);
}

} // namespace

int decodeExitCode(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return -WTERMSIG(status);
    return -1;
}

PidCleanup::~PidCleanup() {
    waitLoggingFailure();
}

void PidCleanup::assign(pid_t pid, const char* name) {
    waitLoggingFailure();
    childPid = pid;
    childName.assign(name);
}

void PidCleanup::waitLoggingFailure() noexcept {
    try {
        wait(nullptr, 0);
    } catch (const plat::Exception& e) {
        processLog.error("~PidCleanup: %s", e.message());
    }
}

pid_t PidCleanup::release() {
    pid_t pid = childPid;
    childPid = -1;
    return pid;
}

bool PidCleanup::wait(int* status, int options) {
    if (childPid == -1)
        return false;
    int rawStatus = 0;
    pid_t result = waitpidRestarting(childPid, &rawStatus, options);
    if (result < 0) {
        childPid = -1;
        throw plat::SystemException("waitpid", errno);
    }
    if (result == 0)
        return false;
    logChildEnd(childPid, childName.get(), rawStatus);
    childPid = -1;
    if (status)
        *status = rawStatus;
    return true;
}

bool PidCleanup::timedWait(int* status, int timeoutMs) {
    if (timeoutMs < 0)
        return wait(status, 0);
    plat::Ticks deadline =
        plat::monotonicNow() + plat::Ticks(timeoutMs) * plat::TicksPerMillisecond;
    while (true) {
        ensureReaper();
        if (wait(status, WNOHANG))
            return true;
        int remaining = remainingMilliseconds(deadline);
        if (remaining == 0)
            return false;
        sleepMilliseconds(std::min(remaining, pollInterval(timeoutMs)));
    }
}

void detachProcess(pid_t pid) {
    if (BackgroundReaper* reaper = ensureReaper())
        reaper->detach(pid);
}

ProcessMonitor::ProcessMonitor(pid_t pid, ExitCallback* callback, const char* name)
    : child(pid, name), exitCallback(callback), timer(this) {
    SignalHandler::instance().setHandler(SIGCHLD, this, true);
    timer.start(0);
}

ProcessMonitor::~ProcessMonitor() {
    SignalHandler::instance().setHandler(SIGCHLD, this, false);
    timer.stop();
}

void ProcessMonitor::kill(int signal) {
    if (child.pid() == -1)
        return;
    try {
        killProcess(child.pid(), signal);
    } catch (const plat::Exception& e) {
        processLog.error("%s", e.message());
        exitCallback = nullptr;
        detachProcess(child.release());
    }
}

void ProcessMonitor::handleSignal(int) {
    poll();
}

bool ProcessMonitor::timerExpired(plat::Timer*) {
    poll();
    return false;
}

// The exit callback may destroy the monitor, so nothing touches it afterwards.
void ProcessMonitor::poll() {
    try {
        int status = 0;
        if (child.wait(&status, WNOHANG) && exitCallback)
            exitCallback->processExited(this, decodeExitCode(status), status);
    } catch (const plat::Exception& e) {
        processLog.error("%s", e.message());
    }
}

} // namespace os
