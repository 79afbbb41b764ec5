// Waiting for child processes: the owner of one child's pid, the background reaper for detached
// children, and a monitor that tells its owner when a child ends.
#pragma once

#include <os/unix/SignalHandler.h>
#include <plat/DString.h>
#include <plat/NonCopyable.h>
#include <plat/Timer.h>

#include <sys/types.h>

namespace os {

// Normal exit: the exit status; death by a signal: minus the signal number; otherwise -1.
int decodeExitCode(int status);

// Holds one child; destroying it waits (blocking) for a child that is still held.
class PidCleanup : plat::NonCopyable {
public:
    PidCleanup() = default;
    PidCleanup(pid_t pid, const char* name) : childPid(pid), childName(name) {}
    ~PidCleanup();

    // Waits for the child held so far as the destructor does, then holds pid.
    void assign(pid_t pid, const char* name);
    // Forgets the child without waiting; returns its pid (-1 when none was held).
    pid_t release();

    pid_t pid() const { return childPid; }
    const char* name() const { return childName.get(); }

    // waitpid with options; true once the child has ended (its end is logged when abnormal),
    // false when none is held or it still runs. status receives the raw wait status.
    bool wait(int* status, int options);
    // Polls until the child ends or timeoutMs passes: negative waits without limit, 0 polls once.
    bool timedWait(int* status, int timeoutMs);

private:
    void waitLoggingFailure() noexcept;

    pid_t childPid = -1;
    plat::DString childName;
};

// Hands pid to the background reaper, which waits for it whenever SIGCHLD arrives. Without a
// descriptor manager on the calling thread nothing happens: the child stays a zombie until the
// process ends.
void detachProcess(pid_t pid);

class ProcessMonitor : public SignalHandler::Callback, public plat::Timer::Callback {
public:
    class ExitCallback {
    public:
        virtual ~ExitCallback() = default;
        // Called once, on the monitoring thread, when the child has ended.
        virtual void processExited(ProcessMonitor* monitor, int exitCode, int status) = 0;
    };

    // Needs a descriptor manager on the calling thread. A child that has ended already is
    // noticed on the next timer pass.
    ProcessMonitor(pid_t pid, ExitCallback* callback, const char* name);
    ~ProcessMonitor() override;

    // Sends signal to the child. When that fails (the child was reaped elsewhere), the failure is
    // logged, the exit callback dropped and the pid handed to the background reaper.
    void kill(int signal);

    pid_t pid() const { return child.pid(); }
    const char* name() const { return child.name(); }

private:
    void handleSignal(int signal) override;
    bool timerExpired(plat::Timer* timer) override;
    void poll();

    PidCleanup child;
    ExitCallback* exitCallback;
    plat::Timer timer;
};

} // namespace os
