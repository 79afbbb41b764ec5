// The inherited dispositions are kept in plain arrays: they are written before any child is
// forked and read in the child, where nothing may allocate or lock.
#include <os/unix/signalDispositions.h>

#include <plat/Exception.h>

#include <cerrno>
#include <csignal>

namespace os {

namespace {

struct sigaction inheritedActions[NSIG];
bool caught[NSIG];

struct sigaction currentAction(int signal) {
    struct sigaction action {};
    if (::sigaction(signal, nullptr, &action) != 0)
        throw plat::SystemException("sigaction", errno);
    return action;
}

} // namespace

void catchSignal(int signal, void (*handler)(int)) {
    PLAT_ASSERT(signal > 0 && signal < NSIG);
    struct sigaction settings {};
    settings.sa_handler = handler;
    sigemptyset(&settings.sa_mask);
    settings.sa_flags = SA_RESTART;
    struct sigaction previous {};
    if (::sigaction(signal, &settings, &previous) != 0)
        throw plat::SystemException("sigaction", errno);
    if (!caught[signal]) {
        inheritedActions[signal] = previous;
        caught[signal] = true;
    }
}

bool isSignalIgnored(int signal) {
    return currentAction(signal).sa_handler == SIG_IGN;
}

void restoreInheritedDispositions() noexcept {
    for (int signal = 1; signal < NSIG; ++signal)
        if (caught[signal])
            ::sigaction(signal, &inheritedActions[signal], nullptr);
}

} // namespace os
