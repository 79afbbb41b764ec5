// The parent's side of a launch: preparing the command, environment and descriptors, forking,
// and reading the child's status pipe.
#include <os/unix/LaunchProcess.h>

#include <os/unix/descriptors.h>
#include <os/unix/getElevateProg.h>
#include <os/unix/programPath.h>
#include <plat/Exception.h>
#include <plat/Log.h>
#include <plat/file.h>
#include <rdr/Exception.h>
#include <rdr/FdInStream.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace os {

namespace {

plat::LogSrc launchLog("LaunchProcess");

constexpr mode_t RedirectMode = 0600;

bool isAbsolutePath(const plat::DString& path) {
    return plat::isAbsolutePath(path.get());
}

bool needsQuotes(const char* arg) {
    return *arg == '\0' || std::strpbrk(arg, " \t\n\"") != nullptr;
}

void appendBackslashes(plat::DString& line, int count) {
    for (int i = 0; i < count; ++i)
        line.appendChar('\\');
}

// Backslashes are doubled only where they would otherwise escape a quote.
void appendQuoted(plat::DString& line, const char* arg) {
    if (!needsQuotes(arg)) {
        line.append(arg);
        return;
    }
    line.appendChar('"');
    for (const char* p = arg;; ++p) {
        int backslashes = 0;
        while (*p == '\\') {
            ++backslashes;
            ++p;
        }
        if (*p == '\0') {
            appendBackslashes(line, backslashes * 2);
            break;
        }
        appendBackslashes(line, *p == '"' ? backslashes * 2 + 1 : backslashes);
        line.appendChar(*p);
    }
    line.appendChar('"');
}

// The status pipe ends without a byte when the child got as far as exec (or, forking only,
// ended); otherwise it carries errno (big-endian), a length byte and the child's context text.
// Trouble reading the pipe itself says nothing about the child, so the launch then stands.
void raiseChildFailure(int statusFd) {
    rdr::FdInStream status(statusFd);
    std::int32_t err;
    char text[256];
    try {
        err = status.readS32();
        int length = status.readU8();
        status.readBytesInto(text, length);
        text[length] = '\0';
    } catch (const rdr::EndOfStream&) {
        return;
    } catch (const plat::Exception& e) {
        launchLog.error("%s", e.message());
        return;
    }
    throw plat::SystemException(text, err);
}

pid_t waitpidRestarting(pid_t pid) {
    pid_t result;
    do {
        result = ::waitpid(pid, nullptr, 0);
    } while (result < 0 && errno == EINTR);
    return result;
}

} // namespace

LaunchProcess::LaunchProcess(const Config& config) : cfg(config) {}

LaunchProcess::~LaunchProcess() {
    if (cfg.dl == 1 && child.pid() != -1)
        detachProcess(child.release());
    closeChildDescriptors();
}

void LaunchProcess::redirectFd(int childFd, int fd) {
    setChildDescriptor(childFd, fd);
}

void LaunchProcess::redirectFile(int childFd, bool readOnly, const char* path, bool append) {
    int flags = readOnly ? O_RDONLY : (O_WRONLY | O_CREAT | (append ? O_APPEND : O_TRUNC));
    setChildDescriptor(childFd, plat::fileOpenFd(path, flags, RedirectMode));
}

void LaunchProcess::redirectStdoutStderrToFile(const char* path, bool append) {
    redirectFile(1, false, path, append);
    redirectDup2(1, 2);
}

void LaunchProcess::redirectDup2(int fromChildFd, int toChildFd) {
    auto i = childDup.find(fromChildFd);
    PLAT_ASSERT_INFO(i != childDup.end(), "redirectDup2: fd %d not redirected", fromChildFd);
    setChildDescriptor(toChildFd, dupCloseOnExec(i->second));
}

plat::UniqueFd LaunchProcess::createPipe(int& childFd, bool parentWrites) {
    PipeEnds pipe = makePipe();
    plat::UniqueFd& parentEnd = parentWrites ? pipe.writeEnd : pipe.readEnd;
    plat::UniqueFd childEnd = std::move(parentWrites ? pipe.readEnd : pipe.writeEnd);
    if (childFd < 0) {
        childEnd = avoidChildTargets(std::move(childEnd));
        childFd = childEnd.get();
    }
    closeSet.insert(parentEnd.get());
    setChildDescriptor(childFd, childEnd.release());
    return std::move(parentEnd);
}

plat::UniqueFd LaunchProcess::createSocketPair(int& childFd) {
    SocketPairEnds pair = makeSocketPair();
    if (childFd < 0) {
        pair.second = avoidChildTargets(std::move(pair.second));
        childFd = pair.second.get();
    }
    closeSet.insert(pair.first.get());
    setChildDescriptor(childFd, pair.second.release());
    return std::move(pair.first);
}

plat::UniqueFd LaunchProcess::prepareSocket(const std::vector<int>& childFds) {
    if (childFds.empty())
        return plat::UniqueFd();
    int firstChildFd = childFds[0];
    plat::UniqueFd parentEnd = createSocketPair(firstChildFd);
    for (std::size_t i = 1; i < childFds.size(); ++i)
        redirectDup2(firstChildFd, childFds[i]);
    return parentEnd;
}

// A child end keeping its own number must not take the place of a descriptor that is already
// meant for the child at that number.
plat::UniqueFd LaunchProcess::avoidChildTargets(plat::UniqueFd fd) const {
    std::vector<plat::UniqueFd> taken;
    while (childDup.count(fd.get())) {
        plat::UniqueFd copy(dupCloseOnExec(fd.get()));
        taken.push_back(std::move(fd));
        fd = std::move(copy);
    }
    return fd;
}

void LaunchProcess::setChildDescriptor(int childFd, int fd) {
    auto [entry, inserted] = childDup.try_emplace(childFd, fd);
    if (inserted)
        return;
    int replaced = std::exchange(entry->second, fd);
    if (replaced != fd && !isChildSource(replaced))
        ::close(replaced);
}

bool LaunchProcess::isChildSource(int fd) const {
    return std::any_of(childDup.begin(), childDup.end(),
                       [fd](const auto& entry) { return entry.second == fd; });
}

// The same parent descriptor may serve several child numbers; it is closed once.
void LaunchProcess::closeChildDescriptors() {
    std::set<int> owned;
    for (const auto& [childFd, fd] : childDup)
        owned.insert(fd);
    for (int fd : owned)
        ::close(fd);
    childDup.clear();
    closeSet.clear();
}

bool LaunchProcess::launch() {
    PLAT_ASSERT(!used);
    used = true;
    resolveProgram();
    applyElevation();
    applySetuidHelper();
    logCommandLine();
    std::vector<plat::DString> environment = buildEnvironment();
    openDefaultStandardDescriptors();
    int statusFd = -1;
    plat::UniqueFd statusReader = createPipe(statusFd, false);

    SignalHandler::BlockGuard blockedSignals;
    SignalHandler::instance().blockSignals(blockedSignals);
    ChildPlan plan(ChildPlan::Inputs{closeSet, childDup, statusFd, cfg.closeFrom, cfg.args,
                                     environment, blockedSignals, preExec, *this});
    if (cfg.dl == 2)
        forkDetachedChild(plan);
    else
        forkChild(plan);

    closeChildDescriptors();
    raiseChildFailure(statusReader.get());
    return true;
}

void LaunchProcess::resolveProgram() {
    if (cfg.args.empty())
        return;
    if (cfg.searchPath) {
        plat::DString found = findExecutable(cfg.args[0].get(), true);
        if (found.isNull())
            throw plat::SystemExceptionFmt("%s does not exist or is not executable", ENOENT,
                                           cfg.args[0].c_str());
        if (std::strcmp(found.get(), cfg.args[0].get()) != 0)
            cfg.args[0] = std::move(found);
    }
    PLAT_ASSERT(isAbsolutePath(cfg.args[0]));
}

void LaunchProcess::applyElevation() {
    if (cfg.elevate && ::geteuid() != 0)
        elevate(cfg, cfg.elevateTitle.get());
}

void LaunchProcess::applySetuidHelper() {
    if (cfg.setuidHelperUser == 0)
        return;
    PLAT_ASSERT(getuid() == 0 && geteuid() == 0);
    PLAT_ASSERT(cfg.setuidHelperIsSelf || !cfg.args.empty());
    plat::DString helper = cfg.setuidHelperIsSelf ? getProgramPath(nullptr) : cfg.args[0];
    plat::DString user;
    user.format("%u", cfg.setuidHelperUser);
    std::vector<plat::DString> prefix{std::move(helper), plat::DString("-setuidhelper"),
                                      std::move(user)};
    cfg.args.insert(cfg.args.begin(), std::make_move_iterator(prefix.begin()),
                    std::make_move_iterator(prefix.end()));
}

void LaunchProcess::logCommandLine() const {
    if (!launchLog.enabled(plat::LogSrc::Debug))
        return;
    if (cfg.args.empty()) {
        launchLog.debug("Launching %s", "(fork)");
        return;
    }
    plat::DString line("");
    for (const plat::DString& arg : cfg.args) {
        if (&arg != &cfg.args.front())
            line.appendChar(' ');
        appendQuoted(line, arg.c_str());
    }
    launchLog.debug("Launching %s", line.get());
}

std::vector<plat::DString> LaunchProcess::buildEnvironment() {
    auto isUnset = [this](const plat::DString& name) {
        return std::any_of(cfg.unsetEnv.begin(), cfg.unsetEnv.end(),
                           [&](const plat::DString& unset) {
                               return std::strcmp(unset.c_str(), name.c_str()) == 0;
                           });
    };
    for (char** entry = cfg.clearEnv ? nullptr : environ; entry && *entry; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        if (!equals)
            continue;
        plat::DString name(*entry, int(equals - *entry));
        if (cfg.env.count(name) || isUnset(name))
            continue;
        cfg.env.emplace(std::move(name), plat::DString(equals + 1));
    }
    std::vector<plat::DString> environment;
    for (const auto& [name, value] : cfg.env) {
        environment.emplace_back();
        environment.back().format("%s=%s", name.c_str(), value.c_str());
    }
    return environment;
}

void LaunchProcess::openDefaultStandardDescriptors() {
    if (!childDup.count(0))
        setChildDescriptor(0, plat::fileOpenFd("/dev/null", O_RDONLY, RedirectMode));
    if (!childDup.count(1))
        setChildDescriptor(
            1, plat::fileOpenFd("/dev/null", O_WRONLY | O_CREAT | O_TRUNC, RedirectMode));
}

void LaunchProcess::forkChild(ChildPlan& plan) {
    pid_t pid = ::fork();
    if (pid < 0)
        throw plat::SystemException("fork", errno);
    // The child keeps to the async-signal-safe steps that ChildPlan prepared.
    if (pid == 0)
        plan.runInChild();
    child.assign(pid, cfg.args.empty() ? "<forked>" : cfg.args[0].c_str());
}

// The intermediate child starts a new session and leaves at once, so the grandchild that runs the
// program is adopted by init and never becomes our zombie.
void LaunchProcess::forkDetachedChild(ChildPlan& plan) {
    pid_t intermediate = ::fork();
    if (intermediate < 0)
        throw plat::SystemException("fork", errno);
    if (intermediate == 0) {
        // Async-signal-safe calls only, as in ChildPlan::runInChild().
        ::setsid();
        pid_t grandchild = ::fork();
        if (grandchild < 0)
            reportChildFailure(plan.statusFd(), "fork", errno);
        if (grandchild > 0)
            ::_exit(0);
        plan.runInChild();
    }
    waitpidRestarting(intermediate);
}

bool LaunchProcess::wait(int* exitCode, int timeoutMs) {
    if (child.pid() == -1)
        throw plat::Exception("LaunchProcess: process detached or not started");
    int status = 0;
    if (!child.timedWait(&status, timeoutMs))
        return false;
    if (exitCode)
        *exitCode = decodeExitCode(status);
    return true;
}

void LaunchProcess::setDetachLevel(int dl) {
    PLAT_ASSERT(dl >= cfg.dl);
    cfg.dl = dl;
    if (dl == 2 && child.pid() != -1)
        detachProcess(child.release());
}

std::unique_ptr<rdr::FdInStream> LaunchProcess::launchCaptureOutput() {
    int childFd = 1;
    plat::UniqueFd readEnd = createPipe(childFd, false);
    redirectFile(2, false, "/dev/null", false);
    setBlocking(readEnd.get(), false);
    launch();
    auto output = std::make_unique<rdr::FdInStreamOwn>(readEnd.get());
    readEnd.release();
    return output;
}

plat::DString LaunchProcess::runCaptureOutput(int* exitCode, int timeoutMs) {
    std::unique_ptr<rdr::FdInStream> output = launchCaptureOutput();
    plat::DString text;
    text.clear();
    try {
        while (output->check(1, true)) {
            text.append(reinterpret_cast<const char*>(output->getPtr()), output->nUnread());
            output->advance(output->nUnread());
        }
    } catch (const rdr::EndOfStream&) {
    }
    if (!wait(exitCode, timeoutMs))
        throw plat::TimedOut("Timed out waiting for process to exit");
    return text;
}

std::unique_ptr<ProcessMonitor>
LaunchProcess::releaseToMonitor(ProcessMonitor::ExitCallback* callback) {
    if (child.pid() == -1)
        throw plat::Exception("LaunchProcess: process detached or not started");
    auto monitor = std::make_unique<ProcessMonitor>(child.pid(), callback, child.name());
    child.release();
    cfg.dl = 2;
    return monitor;
}

int runProgram(const std::vector<plat::DString>& args) {
    LaunchProcess::Config cfg;
    cfg.args = args;
    cfg.searchPath = true;
    LaunchProcess launch(cfg);
    launch.redirectFd(1, dupCloseOnExec(1));
    launch.launch();
    int exitCode = -1;
    launch.wait(&exitCode, -1);
    return exitCode;
}

plat::UniqueFd launchWithStdinPipe(const std::vector<plat::DString>& args) {
    LaunchProcess::Config cfg;
    cfg.args = args;
    cfg.dl = 2;
    LaunchProcess launch(cfg);
    int childFd = 0;
    plat::UniqueFd writeEnd = launch.createPipe(childFd, true);
    launch.launch();
    return writeEnd;
}

} // namespace os
