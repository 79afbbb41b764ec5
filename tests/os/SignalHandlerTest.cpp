// Signals delivered as calls on the event loop: dispatch order, removal, default actions, signal
// names and sending signals.
#include "support/osTestSupport.h"

#include <os/unix/SignalHandler.h>

#include <io/PollFdManager.h>
#include <plat/Exception.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using os::SignalHandler;

class Recorder : public SignalHandler::Callback {
public:
    Recorder(std::vector<std::string>& calls, std::string name)
        : calls(calls), name(std::move(name)) {}
    void handleSignal(int signal) override {
        calls.push_back(name + ":" + std::to_string(signal));
        if (toRemove)
            SignalHandler::instance().setHandler(signal, toRemove, false);
    }

    std::vector<std::string>& calls;
    std::string name;
    SignalHandler::Callback* toRemove = nullptr;
};

// Unregisters at the end of a test even when an assertion fails.
class Registration {
public:
    Registration(int signal, SignalHandler::Callback* callback)
        : signal(signal), callback(callback) {
        SignalHandler::instance().setHandler(signal, callback, true);
    }
    ~Registration() { SignalHandler::instance().setHandler(signal, callback, false); }

private:
    int signal;
    SignalHandler::Callback* callback;
};

void (*currentAction(int signal))(int) {
    struct sigaction action {};
    ::sigaction(signal, nullptr, &action);
    return action.sa_handler;
}

// The newest callback removes the oldest, which must then not be called in the same pass.
TEST(SignalDispatch, CallbacksOfTheArrivingSignalRunNewestFirstAndRemovedOnesAreSkipped) {
    io::PollFdManager manager;
    std::vector<std::string> calls;
    Recorder oldest(calls, "oldest");
    Recorder middle(calls, "middle");
    Recorder newest(calls, "newest");
    Recorder other(calls, "other");
    newest.toRemove = &oldest;
    SignalHandler::instance().setHandler(SIGCHLD, &oldest, true);
    Registration second(SIGCHLD, &middle);
    Registration third(SIGCHLD, &newest);
    Registration elsewhere(SIGUSR2, &other);
    ::kill(::getpid(), SIGCHLD);
    ASSERT_TRUE(ostest::eventually([&] { return calls.size() >= 2; }, &manager));
    manager.wait(50);
    EXPECT_EQ(calls, (std::vector<std::string>{"newest:17", "middle:17"}));
}

TEST(SignalRegistration, RemovingTheLastCallbackRestoresTheDefaultAction) {
    io::PollFdManager manager;
    std::vector<std::string> calls;
    Recorder first(calls, "first");
    Recorder second(calls, "second");
    {
        Registration kept(SIGUSR2, &second);
        { Registration removed(SIGUSR2, &first); }
        EXPECT_NE(currentAction(SIGUSR2), SIG_DFL);
    }
    EXPECT_EQ(currentAction(SIGUSR2), SIG_DFL);
}

TEST(SignalRegistration, WakeupSurvivesTheLossOfItsDescriptorManager) {
    std::vector<std::string> calls;
    Recorder recorder(calls, "recorder");
    {
        io::PollFdManager first;
        Registration registration(SIGUSR1, &recorder);
    }
    io::PollFdManager second;
    Registration registration(SIGUSR1, &recorder);
    ::kill(::getpid(), SIGUSR1);
    EXPECT_TRUE(ostest::eventually([&] { return !calls.empty(); }, &second));
}

TEST(SignalRegistration, RegisteringWithoutDescriptorManagerIsAnAssertionFailure) {
    std::vector<std::string> calls;
    Recorder recorder(calls, "recorder");
    EXPECT_DEATH(SignalHandler::instance().setHandler(SIGUSR1, &recorder, true),
                 "Assertion 'fdMgr' failed");
}

TEST(SignalBlocking, GuardBlocksRegisteredSignalsUntilRestored) {
    io::PollFdManager manager;
    std::vector<std::string> calls;
    Recorder recorder(calls, "recorder");
    Registration registration(SIGUSR1, &recorder);
    sigset_t mask;
    {
        SignalHandler::BlockGuard guard;
        SignalHandler::instance().blockSignals(guard);
        ::sigprocmask(SIG_BLOCK, nullptr, &mask);
        EXPECT_EQ(sigismember(&mask, SIGUSR1), 1);
    }
    ::sigprocmask(SIG_BLOCK, nullptr, &mask);
    EXPECT_EQ(sigismember(&mask, SIGUSR1), 0);
}

TEST(SignalNames, LinuxNamesForOneToThirtyOneAndNumbersBeyond) {
    const std::pair<int, const char*> names[] = {{1, "SIGHUP"}, {16, "SIGSTKFLT"}, {31, "SIGSYS"}};
    for (const auto& [number, name] : names)
        EXPECT_STREQ(os::signalName(number), name);
    for (int outside : {0, 32, -1})
        EXPECT_EQ(os::signalName(outside), nullptr);
    EXPECT_STREQ(os::describeSignal(64).text, "64");
}

TEST(KillProcess, FailureNamesPidAndSignal) {
    pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
    testsupport::Raised raised =
        testsupport::raisedBy<plat::SystemException>([&] { os::killProcess(pid, SIGTERM); });
    EXPECT_EQ(raised.error, ESRCH);
    EXPECT_TRUE(raised.startsWith("kill(" + std::to_string(pid) + ",SIGTERM): ")) << raised.message;
}

TEST(KillProcess, NonPositivePidIsAnAssertionFailure) {
    EXPECT_DEATH(os::killProcess(0, SIGTERM), "Assertion 'pid > 0' failed");
}

} // namespace
