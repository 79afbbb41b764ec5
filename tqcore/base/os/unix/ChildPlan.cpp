// The child's side of a launch: descriptor shuffle, closing, pre-exec callback and exec, on
// arrays the parent built before the fork.
#include <os/unix/ChildPlan.h>

#include <io/socketLayerState.h>
#include <os/unix/descriptors.h>
#include <os/unix/signalDispositions.h>
#include <plat/fixedText.h>
#include <plat/writeAll.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

namespace {

constexpr std::size_t MaxStatusText = 255;

bool clearCloseOnExec(int fd) {
    int flags = ::fcntl(fd, F_GETFD);
    return flags >= 0 && ::fcntl(fd, F_SETFD, flags & ~FD_CLOEXEC) == 0;
}

int firstFreeDescriptorAbove(int number) {
    struct stat info;
    int candidate = number + 1;
    while (::fstat(candidate, &info) == 0)
        ++candidate;
    return candidate;
}

std::vector<char*> nullTerminatedPointers(const std::vector<plat::DString>& texts) {
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    // execve promises not to modify its arguments; its prototype merely predates const.
    for (const plat::DString& text : texts)
        pointers.push_back(const_cast<char*>(text.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

void reportChildFailure(int statusFd, const char* context, int err) {
    unsigned char record[5 + MaxStatusText];
    std::size_t length = std::min(std::strlen(context), MaxStatusText);
    record[0] = (unsigned char)((unsigned)err >> 24);
    record[1] = (unsigned char)((unsigned)err >> 16);
    record[2] = (unsigned char)((unsigned)err >> 8);
    record[3] = (unsigned char)err;
    record[4] = (unsigned char)length;
    std::memcpy(record + 5, context, length);
    plat::writeAll(statusFd, record, 5 + length);
    ::_exit(1);
}

ChildPlan::ChildPlan(const Inputs& inputs)
    : closeSet(inputs.closeSet.begin(), inputs.closeSet.end()), statusDescriptor(inputs.statusFd),
      closeFromDescriptor(inputs.closeFrom), blockedSignals(inputs.blockedSignals),
      preExecCallback(inputs.preExec), launch(inputs.launch) {
    for (int fd : closeSet)
        highestDescriptor = std::max(highestDescriptor, fd);
    for (const auto& [target, source] : inputs.childDup) {
        moves.push_back(DescriptorMove{target, source});
        highestDescriptor = std::max({highestDescriptor, target, source});
    }
    if (!inputs.args.empty()) {
        argv = nullTerminatedPointers(inputs.args);
        envp = nullTerminatedPointers(inputs.environment);
        plat::boundedAppendf(execContext, sizeof execContext, "execve(%s)", inputs.args[0].c_str());
    }
    restoreOpenFilesLimit = io::keptOpenFilesLimit(openFilesLimit);
}

// Everything from here on runs in a copy of a possibly multi-threaded process in which another
// thread may have held the allocator's or the logger's lock: only async-signal-safe system calls
// on the data prepared by the constructor, no allocation, no logging, no exceptions. Started with
// vfork, the child shares its parent's memory until it execs or ends: it writes nothing but the
// plan's own descriptor moves, which the parent no longer reads.
void ChildPlan::runInChild() noexcept {
    // Every signal is still blocked: the dispositions are settled before any signal can arrive.
    SignalHandler::resetInChild(blockedSignals);
    restoreInheritedDispositions();
    SignalHandler::restoreInChild(blockedSignals);
    for (int fd : closeSet)
        ::close(fd);
    moveSourcesOutOfTheWay();
    installDescriptors();
    closeRemainingDescriptors();
    if (preExecCallback)
        preExecCallback->preExec(launch, statusDescriptor);
    if (argv.empty())
        ::_exit(0);
    execProgram();
}

// A source that is also another pair's target would be overwritten before it is copied (as when
// descriptors 0 and 1 are swapped), so it is first copied to a number above all of them.
void ChildPlan::moveSourcesOutOfTheWay() {
    for (DescriptorMove& move : moves) {
        bool isOtherTarget =
            std::any_of(moves.begin(), moves.end(), [&](const DescriptorMove& other) {
                return &other != &move && other.target == move.source;
            });
        if (!isOtherTarget)
            continue;
        int freeNumber = firstFreeDescriptorAbove(highestDescriptor);
        if (!dup2CloseOnExec(move.source, freeNumber))
            reportChildFailure(statusDescriptor, "dup2", errno);
        move.source = freeNumber;
        highestDescriptor = freeNumber;
    }
}

// The status pipe keeps close-on-exec so that a successful exec shows as end of file.
void ChildPlan::installDescriptors() {
    for (const DescriptorMove& move : moves)
        if (move.source != move.target && !dup2CloseOnExec(move.source, move.target))
            reportChildFailure(statusDescriptor, "dup2", errno);
    for (const DescriptorMove& move : moves) {
        if (move.source != move.target)
            ::close(move.source);
        if (move.target != statusDescriptor && !clearCloseOnExec(move.target))
            reportChildFailure(statusDescriptor, "fcntl", errno);
    }
}

// The status pipe survives so that a failing exec can still be reported.
void ChildPlan::closeRemainingDescriptors() {
    if (closeFromDescriptor >= 0)
        closeFromExcept(closeFromDescriptor, &statusDescriptor, 1);
}

void ChildPlan::execProgram() {
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    ::sigaction(SIGPIPE, &defaultAction, nullptr);
    if (restoreOpenFilesLimit)
        ::setrlimit(RLIMIT_NOFILE, &openFilesLimit);
    ::execve(argv[0], argv.data(), envp.data());
    reportChildFailure(statusDescriptor, execContext, errno);
}

} // namespace os
