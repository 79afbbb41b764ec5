// What a freshly forked child does before it becomes the new program: everything it needs is
// prepared in the parent as plain arrays, so that the child itself only makes system calls.
#pragma once

#include <os/unix/SignalHandler.h>
#include <plat/DString.h>

#include <map>
#include <set>
#include <sys/resource.h>
#include <vector>

namespace os {

class LaunchProcess;

class PreExecCallback {
public:
    virtual ~PreExecCallback() = default;
    // Runs in the child just before exec and must keep to async-signal-safe calls; it can end the
    // child with reportChildFailure(statusFd, ...).
    virtual void preExec(LaunchProcess& launch, int statusFd) = 0;
};

// Writes the status record (errno as 4 big-endian bytes, a length byte, at most 255 bytes of
// text) to statusFd and ends the child with _exit(1). Async-signal-safe.
[[noreturn]] void reportChildFailure(int statusFd, const char* context, int err);

class ChildPlan {
public:
    struct Inputs {
        const std::set<int>& closeSet;
        const std::map<int, int>& childDup; // child descriptor -> parent descriptor
        int statusFd;
        int closeFrom;
        const std::vector<plat::DString>& args;
        const std::vector<plat::DString>& environment; // "name=value" entries
        SignalHandler::BlockGuard& blockedSignals;
        PreExecCallback* preExec;
        LaunchProcess& launch;
    };

    explicit ChildPlan(const Inputs& inputs);

    int statusFd() const { return statusDescriptor; }

    // Carries out the plan in the child and execs (or, without arguments, ends with status 0).
    // Async-signal-safe: only system calls on the arrays prepared by the constructor.
    [[noreturn]] void runInChild() noexcept;

private:
    struct DescriptorMove {
        int target;
        int source;
    };

    void moveSourcesOutOfTheWay();
    void installDescriptors();
    void closeRemainingDescriptors();
    [[noreturn]] void execProgram();

    std::vector<int> closeSet;
    std::vector<DescriptorMove> moves;
    int highestDescriptor = -1;
    int statusDescriptor;
    int closeFromDescriptor;
    std::vector<char*> argv;
    std::vector<char*> envp;
    char execContext[128] = {};
    rlimit openFilesLimit{};
    bool restoreOpenFilesLimit = false;
    SignalHandler::BlockGuard& blockedSignals;
    PreExecCallback* preExecCallback;
    LaunchProcess& launch;
};

} // namespace os
