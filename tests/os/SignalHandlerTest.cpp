// Signals delivered as calls on the event loop: dispatch order, removal, default actions, signal
// names and sending signals.
#include "support/osTestSupport.h"

#include <os/unix/SignalHandler.h>

#include <io/FdManager.h>
#include <plat/Exception.h>

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
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

TEST(SignalDispatch, CallbacksRunNewestFirst) {
    io::FdManager manager;
    std::vector<std::string> calls;
    Recorder older(calls, "older");
    Recorder newer(calls, "newer");
    Registration first(SIGCHLD, &older);
    Registration second(SIGCHLD, &newer);
    ::kill(::getpid(), SIGCHLD);
    ASSERT_TRUE(ostest::eventually([&] { return calls.size() >= 2; }, &manager));
    EXPECT_EQ(calls, (std::vector<std::string>{"newer:17", "older:17"}));
}

TEST(SignalDispatch, CallbackRemovedDuringThePassIsNotCalled) {
    io::FdManager manager;
    std::vector<std::string> calls;
    Recorder removed(calls, "removed");
    Recorder remover(calls, "remover");
    remover.toRemove = &removed;
    SignalHandler::instance().setHandler(SIGUSR1, &removed, true);
    Registration keep(SIGUSR1, &remover);
    ::kill(::getpid(), SIGUSR1);
    ASSERT_TRUE(ostest::eventually([&] { return !calls.empty(); }, &manager));
    manager.wait(50);
    EXPECT_EQ(calls, (std::vector<std::string>{"remover:10"}));
}

TEST(SignalDispatch, OnlyCallbacksOfTheArrivingSignalRun) {
    io::FdManager manager;
    std::vector<std::string> calls;
    Recorder first(calls, "usr1");
    Recorder second(calls, "usr2");
    Registration one(SIGUSR1, &first);
    Registration two(SIGUSR2, &second);
    ::kill(::getpid(), SIGUSR2);
    ASSERT_TRUE(ostest::eventually([&] { return !calls.empty(); }, &manager));
    EXPECT_EQ(calls, (std::vector<std::string>{"usr2:12"}));
}

TEST(SignalRegistration, RemovingTheLastCallbackRestoresTheDefaultAction) {
    io::FdManager manager;
    std::vector<std::string> calls;
    Recorder first(calls, "first");
    Recorder second(calls, "second");
    SignalHandler::instance().setHandler(SIGUSR2, &first, true);
    SignalHandler::instance().setHandler(SIGUSR2, &second, true);
    EXPECT_NE(currentAction(SIGUSR2), SIG_DFL);
    SignalHandler::instance().setHandler(SIGUSR2, &first, false);
    EXPECT_NE(currentAction(SIGUSR2), SIG_DFL);
    SignalHandler::instance().setHandler(SIGUSR2, &second, false);
    EXPECT_EQ(currentAction(SIGUSR2), SIG_DFL);
}

TEST(SignalRegistration, WakeupSurvivesTheLossOfItsDescriptorManager) {
    std::vector<std::string> calls;
    Recorder recorder(calls, "recorder");
    {
        io::FdManager first;
        Registration registration(SIGUSR1, &recorder);
    }
    io::FdManager second;
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
    io::FdManager manager;
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

TEST(SignalNames, LinuxNamesForOneToThirtyOne) {
    EXPECT_STREQ(os::signalName(1), "SIGHUP");
    EXPECT_STREQ(os::signalName(9), "SIGKILL");
    EXPECT_STREQ(os::signalName(15), "SIGTERM");
    EXPECT_STREQ(os::signalName(16), "SIGSTKFLT");
    EXPECT_STREQ(os::signalName(17), "SIGCHLD");
    EXPECT_STREQ(os::signalName(29), "SIGIO");
    EXPECT_STREQ(os::signalName(30), "SIGPWR");
    EXPECT_STREQ(os::signalName(31), "SIGSYS");
    EXPECT_EQ(os::signalName(0), nullptr);
    EXPECT_EQ(os::signalName(32), nullptr);
    EXPECT_EQ(os::signalName(-1), nullptr);
    EXPECT_STREQ(os::describeSignal(64).text, "64");
}

TEST(KillProcess, FailureNamesPidAndSignal) {
    pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
    try {
        os::killProcess(pid, SIGTERM);
        FAIL() << "no exception";
    } catch (const plat::SystemException& e) {
        EXPECT_EQ(e.error(), ESRCH);
        EXPECT_EQ(std::string(e.message()).rfind("kill(" + std::to_string(pid) + ",SIGTERM): ", 0),
                  0u)
            << e.message();
    }
}

TEST(KillProcess, NonPositivePidIsAnAssertionFailure) {
    EXPECT_DEATH(os::killProcess(0, SIGTERM), "Assertion 'pid > 0' failed");
}

} // namespace
