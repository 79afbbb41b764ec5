// Starting one child process from a configuration record, with failures between fork and exec
// reported back through a status pipe; the launch object then owns the child.
#pragma once

#include <io/FdIo.h>
#include <os/unix/ChildPlan.h>
#include <os/unix/ProcessMonitor.h>
#include <plat/DString.h>
#include <plat/NonCopyable.h>
#include <plat/UniqueFd.h>
#include <rdr/FdInStream.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace os {

// Orders owned strings by their bytes.
struct BytewiseLess {
    bool operator()(const plat::DString& a, const plat::DString& b) const {
        return std::strcmp(a.c_str(), b.c_str()) < 0;
    }
};

class LaunchProcess : plat::NonCopyable {
public:
    using EnvMap = std::map<plat::DString, plat::DString, BytewiseLess>;

    struct Config {
        // The program (args[0]) and its arguments; empty means fork only, without exec.
        std::vector<plat::DString> args;
        // Detach level: 0 destruction waits for the child, 1 destruction detaches it, 2 the child
        // is started fully detached (double fork) and not kept.
        std::int32_t dl = 0;
        // Run through the elevation wrapper when the effective user is not root.
        bool elevate = false;
        plat::DString elevateTitle;
        // Set in the child, winning over inherited variables.
        EnvMap env;
        // Inherited variables to drop.
        std::vector<plat::DString> unsetEnv;
        // Inherit nothing from this process's environment.
        bool clearEnv = false;
        // When 0 or more, the child closes this descriptor and every higher one after its
        // redirections (the status pipe survives until exec).
        std::int32_t closeFrom = -1;
        // Look args[0] up on PATH.
        bool searchPath = false;
        // When non-zero (root only), run through the setuid helper for this user id.
        std::uint32_t setuidHelperUser = 0;
        // The helper is this program itself; otherwise args[0].
        bool setuidHelperIsSelf = true;
    };

    explicit LaunchProcess(const Config& config);
    ~LaunchProcess();

    // The child gets fd (now owned by this object) at childFd. A replaced descriptor is closed
    // unless another entry still uses it.
    void redirectFd(int childFd, int fd);
    // Opens path (mode 0600) read-only, or write-only with create and append or truncate.
    void redirectFile(int childFd, bool readOnly, const char* path, bool append);
    void redirectStdoutStderrToFile(const char* path, bool append);
    // The child gets a copy of its fromChildFd at toChildFd; fromChildFd must be redirected.
    void redirectDup2(int fromChildFd, int toChildFd);
    // A pipe whose other end the child gets at childFd (a negative childFd becomes the child
    // end's own number). parentWrites: the parent keeps the write end, else the read end.
    plat::UniqueFd createPipe(int& childFd, bool parentWrites);
    // The same with a Unix stream socket pair.
    plat::UniqueFd createSocketPair(int& childFd);
    // One socket pair shared by all of childFds; the parent's end (invalid when the list is
    // empty). Call launch() afterwards.
    plat::UniqueFd prepareSocket(const std::vector<int>& childFds);

    void setPreExecCallback(PreExecCallback* callback) { preExec = callback; }

    // prepareSocket(childFds), then launch(); the parent's end as a connection (one without a
    // descriptor when the list is empty).
    std::unique_ptr<io::FdIo> launchWithSocket(const std::vector<int>& childFds);

    // Starts the child; raises on failure, with the child's own context and errno for failures
    // between fork and exec. A launch object launches once.
    bool launch();

    // Waits for the child: negative timeoutMs without limit, 0 polls once. exitCode receives the
    // exit status, minus the signal number after a death by signal, else -1. Raises when no
    // child is held.
    bool wait(int* exitCode, int timeoutMs);

    // Launches with a pipe as the child's standard output and /dev/null as its standard error;
    // returns a stream on the pipe's read end (the descriptor is non-blocking; the stream waits
    // for data).
    std::unique_ptr<rdr::FdInStream> launchCaptureOutput();
    // launchCaptureOutput(), reads the whole output, then waits; raises plat::TimedOut when the
    // child has not ended within timeoutMs. Output bytes are returned unchanged (NULs end the
    // text early).
    plat::DString runCaptureOutput(int* exitCode, int timeoutMs);

    // Raises the detach level; 2 hands the child to the background reaper.
    void setDetachLevel(int dl);
    // Hands the child to a new monitor; this object keeps no child afterwards.
    std::unique_ptr<ProcessMonitor> releaseToMonitor(ProcessMonitor::ExitCallback* callback);

    pid_t pid() const { return child.pid(); }
    const Config& config() const { return cfg; }

private:
    void setChildDescriptor(int childFd, int fd);
    bool isChildSource(int fd) const;
    plat::UniqueFd avoidChildTargets(plat::UniqueFd fd) const;
    void closeChildDescriptors();

    void resolveProgram();
    void applyElevation();
    void applySetuidHelper();
    void logCommandLine() const;
    std::vector<plat::DString> buildEnvironment();
    void openDefaultStandardDescriptors();
    void forkChild(ChildPlan& plan);
    void forkDetachedChild(ChildPlan& plan);

    Config cfg;
    PreExecCallback* preExec = nullptr;
    std::map<int, int> childDup;
    std::set<int> closeSet;
    PidCleanup child;
    bool used = false;
};

// Runs args (looked up on PATH) with this process's standard output and /dev/null as input, waits
// and returns the exit code as LaunchProcess::wait() decodes it.
int runProgram(const std::vector<plat::DString>& args);

// Starts args fully detached with a pipe as its standard input; returns the pipe's write end.
plat::UniqueFd launchWithStdinPipe(const std::vector<plat::DString>& args);

} // namespace os
