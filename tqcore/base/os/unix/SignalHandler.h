// The process's one signal handler: POSIX signals become ordinary calls on the event loop of the
// thread that serves its wake-up pipe. Also signal names and sending signals.
#pragma once

#include <io/FdKicker.h>

#include <csignal>
#include <memory>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace os {

class SignalHandler : private io::FdKickerCallback {
public:
    class Callback {
    public:
        virtual void handleSignal(int signal) = 0;
        virtual ~Callback() = default;
    };

    // Signals blocked by blockSignals() or blockAllSignals(); restores the previous mask when it
    // goes out of scope.
    class BlockGuard {
    public:
        BlockGuard() = default;
        BlockGuard(const BlockGuard&) = delete;
        BlockGuard& operator=(const BlockGuard&) = delete;
        ~BlockGuard() { SignalHandler::restore(*this); }

    private:
        friend class SignalHandler;
        sigset_t handled{}; // the signals that had callbacks
        sigset_t previous{};
        int highest = 0;
        bool active = false;
    };

    // Created on first use; shut down (default actions back, no more registrations) at exit.
    static SignalHandler& instance();

    // With add, appends the pair and installs the C-level handler for the signal; the calling
    // thread must have a descriptor manager. Without add, removes every equal pair and restores
    // the default action once no callback for the signal is left.
    void setHandler(int signal, Callback* callback, bool add);

    // Makes sure a live descriptor manager serves the wake-up pipe: when the manager that served
    // it has been destroyed, a new pipe is set up with the calling thread's manager.
    void ensureWakeup();

    // Blocks every signal that has a callback, saving the previous mask in the guard.
    void blockSignals(BlockGuard& guard) const;
    // Blocks every signal there is, for a fork: no handler of this process may run in the child
    // before it has set its dispositions. The guard notes the signals that have callbacks, for
    // resetInChild().
    void blockAllSignals(BlockGuard& guard) const;
    // Sets the saved mask back; only the first call after blockSignals() does anything.
    // Async-signal-safe.
    static void restore(BlockGuard& guard);
    // Sets every signal that had a callback when the guard was filled to its default action.
    // Async-signal-safe, for the child between fork and exec.
    static void resetInChild(const BlockGuard& guard);
    // Sets the saved mask back without touching the guard, which a child started with vfork
    // shares with its parent. Async-signal-safe.
    static void restoreInChild(const BlockGuard& guard);

private:
    SignalHandler();
    ~SignalHandler() override = default;
    friend struct SignalHandlerShutdown;

    void handleKick(io::FdKicker* kicker, rdr::InStream& in) override;
    void dispatch(int signal);
    bool hasCallbackFor(int signal) const;
    void noteHandledSignals(BlockGuard& guard) const;
    static void block(const sigset_t& signals, BlockGuard& guard);
    void shutDown();

    std::vector<std::pair<int, Callback*>> handlers;
    std::vector<std::pair<int, Callback*>> dispatchList;
    bool disabled = false;
    std::unique_ptr<io::FdKicker> kicker;
};

// The Linux x86-64 name of signals 1 to 31 ("SIGTERM"), null for other numbers.
const char* signalName(int signal);

// A signal's name, or its number in decimal when it has none.
struct SignalText {
    char text[16];
};
SignalText describeSignal(int signal);

// Sends signal to pid (which must be positive); raises "kill(%ld,%s)".
void killProcess(pid_t pid, int signal);

} // namespace os
