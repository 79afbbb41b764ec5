// The C-level handler only writes the signal number into the wake-up pipe; the callbacks run
// later on the thread whose descriptor manager reads it.
#include <os/unix/SignalHandler.h>

#include <io/FdManager.h>
#include <plat/Exception.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace os {

namespace {

// The write end of the wake-up pipe, or -1; read in signal context, hence lock-free.
std::atomic<int> wakeFd{-1};
SignalHandler* inst = nullptr;

constexpr const char* SignalNames[] = {
    nullptr,     "SIGHUP",  "SIGINT",    "SIGQUIT", "SIGILL",   "SIGTRAP", "SIGABRT", "SIGBUS",
    "SIGFPE",    "SIGKILL", "SIGUSR1",   "SIGSEGV", "SIGUSR2",  "SIGPIPE", "SIGALRM", "SIGTERM",
    "SIGSTKFLT", "SIGCHLD", "SIGCONT",   "SIGSTOP", "SIGTSTP",  "SIGTTIN", "SIGTTOU", "SIGURG",
    "SIGXCPU",   "SIGXFSZ", "SIGVTALRM", "SIGPROF", "SIGWINCH", "SIGIO",   "SIGPWR",  "SIGSYS",
};
constexpr int NamedSignalCount = int(sizeof SignalNames / sizeof SignalNames[0]);

extern "C" void writeSignalToWakeupPipe(int signal) {
    int savedErrno = errno;
    int fd = wakeFd.load(std::memory_order_relaxed);
    if (fd >= 0) {
        unsigned char byte = (unsigned char)signal;
        [[maybe_unused]] ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

// No flags: a blocking call interrupted by one of our signals returns EINTR, so that event loops
// waiting in poll or select notice the wake-up at once.
bool installAction(int signal, void (*action)(int)) {
    struct sigaction settings {};
    settings.sa_handler = action;
    sigemptyset(&settings.sa_mask);
    settings.sa_flags = 0;
    return ::sigaction(signal, &settings, nullptr) == 0;
}

void setAction(int signal, void (*action)(int)) {
    if (!installAction(signal, action))
        throw plat::SystemException("sigaction", errno);
}

} // namespace

// Destroyed with the other static objects; the handler object itself stays, disabled, so that a
// late registration fails its check instead of touching freed memory.
struct SignalHandlerShutdown {
    ~SignalHandlerShutdown() { inst->shutDown(); }
};

SignalHandler::SignalHandler() {
    PLAT_ASSERT(!inst);
    inst = this;
}

SignalHandler& SignalHandler::instance() {
    static SignalHandler* const created = new SignalHandler;
    static SignalHandlerShutdown shutdownAtExit;
    return *created;
}

void SignalHandler::setHandler(int signal, Callback* callback, bool add) {
    std::pair<int, Callback*> entry(signal, callback);
    if (add) {
        PLAT_ASSERT(!disabled);
        ensureWakeup();
        handlers.push_back(entry);
        try {
            setAction(signal, writeSignalToWakeupPipe);
        } catch (...) {
            handlers.pop_back();
            throw;
        }
        return;
    }
    std::erase(handlers, entry);
    std::erase(dispatchList, entry);
    if (!hasCallbackFor(signal))
        setAction(signal, SIG_DFL);
}

void SignalHandler::ensureWakeup() {
    if (kicker && kicker->manager())
        return;
    io::FdKickerCallback* callback = this;
    auto fresh = std::make_unique<io::FdKicker>(callback);
    wakeFd.store(fresh->kickFd());
    kicker = std::move(fresh);
}

void SignalHandler::blockSignals(BlockGuard& guard) const {
    noteHandledSignals(guard);
    block(guard.handled, guard);
}

void SignalHandler::blockAllSignals(BlockGuard& guard) const {
    noteHandledSignals(guard);
    sigset_t all;
    sigfillset(&all);
    block(all, guard);
}

void SignalHandler::noteHandledSignals(BlockGuard& guard) const {
    sigemptyset(&guard.handled);
    guard.highest = 0;
    for (const auto& [signal, callback] : handlers) {
        sigaddset(&guard.handled, signal);
        guard.highest = std::max(guard.highest, signal);
    }
}

void SignalHandler::block(const sigset_t& signals, BlockGuard& guard) {
    if (::sigprocmask(SIG_BLOCK, &signals, &guard.previous) != 0)
        throw plat::SystemException("sigprocmask", errno);
    guard.active = true;
}

void SignalHandler::restore(BlockGuard& guard) {
    if (!guard.active)
        return;
    guard.active = false;
    ::sigprocmask(SIG_SETMASK, &guard.previous, nullptr);
}

void SignalHandler::restoreInChild(const BlockGuard& guard) {
    if (guard.active)
        ::sigprocmask(SIG_SETMASK, &guard.previous, nullptr);
}

void SignalHandler::resetInChild(const BlockGuard& guard) {
    struct sigaction settings {};
    settings.sa_handler = SIG_DFL;
    sigemptyset(&settings.sa_mask);
    for (int signal = 1; signal <= guard.highest; ++signal)
        if (sigismember(&guard.handled, signal) == 1)
            ::sigaction(signal, &settings, nullptr);
}

// Every byte is a signal number. Each is consumed before its callbacks run, so that one that
// throws does not see it again.
void SignalHandler::handleKick(io::FdKicker*, rdr::InStream& in) {
    while (in.nUnread() > 0 || in.check(1, false)) {
        int signal = in.readU8();
        in.setCheckpoint();
        dispatch(signal);
    }
}

// Newest registrations first; a callback removed by an earlier one in the same pass is skipped
// because removal also takes it off the dispatch list.
void SignalHandler::dispatch(int signal) {
    dispatchList = handlers;
    while (!dispatchList.empty()) {
        auto [entrySignal, callback] = dispatchList.back();
        dispatchList.pop_back();
        if (entrySignal == signal)
            callback->handleSignal(signal);
    }
}

bool SignalHandler::hasCallbackFor(int signal) const {
    return std::any_of(handlers.begin(), handlers.end(),
                       [signal](const auto& entry) { return entry.first == signal; });
}

void SignalHandler::shutDown() {
    disabled = true;
    wakeFd.store(-1);
    for (const auto& [signal, callback] : handlers)
        installAction(signal, SIG_DFL);
    handlers.clear();
    dispatchList.clear();
    kicker.reset();
}

const char* signalName(int signal) {
    if (signal < 1 || signal >= NamedSignalCount)
        return nullptr;
    return SignalNames[signal];
}

SignalText describeSignal(int signal) {
    SignalText description{};
    if (const char* name = signalName(signal))
        std::snprintf(description.text, sizeof description.text, "%s", name);
    else
        std::snprintf(description.text, sizeof description.text, "%d", signal);
    return description;
}

void killProcess(pid_t pid, int signal) {
    PLAT_ASSERT(pid > 0);
    if (::kill(pid, signal) == 0)
        return;
    int err = errno;
    throw plat::SystemExceptionFmt("kill(%ld,%s)", err, long(pid), describeSignal(signal).text);
}

} // namespace os
