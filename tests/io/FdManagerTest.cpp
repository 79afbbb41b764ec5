// The per-thread descriptor manager: the current manager, the pending queues and their order,
// handlers that remove or destroy each other during a pass, descriptors beyond select's limit,
// wake-ups from other threads, closing descriptors and timers.
#include "support/ioTestSupport.h"

#include <io/PollFdManager.h>
#include <plat/Timer.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

// Records each call as "<name>:<kind>" and then runs onCall; reads nothing, so a readable
// descriptor stays readable.
class Recorder : public io::FdHandler {
public:
    Recorder(int fd, Calls& calls, std::string name)
        : FdHandler(fd, false), calls(calls), name(std::move(name)) {}
    void handleRead() override { record("read"); }
    void handleWrite() override { record("write"); }
    void handlePending() override { record("pending"); }

    std::function<void()> onCall;

private:
    void record(const char* kind) {
        calls.push_back(name + ":" + kind);
        if (onCall)
            onCall();
    }

    Calls& calls;
    std::string name;
};

TEST(FdManager, NestedManagersRestoreTheOuterOne) {
    EXPECT_EQ(io::FdManager::current(), nullptr);
    io::PollFdManager outer;
    EXPECT_EQ(io::FdManager::current(), &outer);
    {
        io::PollFdManager inner;
        EXPECT_EQ(io::FdManager::current(), &inner);
    }
    EXPECT_EQ(io::FdManager::current(), &outer);
}

// Handlers in an array have ascending addresses: the queues run from the highest.
TEST(FdManagerPending, QueuesRunOtherThenReadThenWriteFromTheLastHandlerAndNewWorkWaits) {
    io::FdManager manager;
    Calls calls;
    Recorder handlers[3] = {{-1, calls, "h0"}, {-1, calls, "h1"}, {-1, calls, "h2"}};
    for (Recorder& handler : handlers)
        manager.add(&handler, true);
    manager.setPending(&handlers[0], io::FdManager::Pending::Write);
    manager.setPending(&handlers[0], io::FdManager::Pending::Other);
    manager.setPending(&handlers[2], io::FdManager::Pending::Other);
    manager.setPending(&handlers[1], io::FdManager::Pending::Read);
    manager.setPending(&handlers[2], io::FdManager::Pending::Read);
    handlers[1].onCall = [&] { manager.setPending(&handlers[1], io::FdManager::Pending::Read); };

    manager.processPending();
    EXPECT_EQ(calls, (Calls{"h2:pending", "h0:pending", "h2:read", "h1:read", "h0:write"}));
    calls.clear();
    handlers[1].onCall = nullptr;
    manager.processPending();
    EXPECT_EQ(calls, Calls{"h1:read"});
    EXPECT_FALSE(manager.hasPendingWork());
}

TEST(FdManagerPending, DroppingAnInterestTakesTheHandlerOffItsQueue) {
    io::FdManager manager;
    Calls calls;
    Recorder handler(-1, calls, "h");
    manager.add(&handler, true);
    manager.setPending(&handler, io::FdManager::Pending::Read);
    manager.setPending(&handler, io::FdManager::Pending::Write);
    EXPECT_TRUE(manager.setInterest(&handler, false, true));
    EXPECT_FALSE(manager.setInterest(&handler, false, true, false, false, true));
    manager.processPending();
    EXPECT_EQ(calls, Calls{"h:write"});
}

// Each handler destroys every other one that is still alive: whichever runs first is the only
// one called, in the ready lists of a wait and in a pending pass alike.
TEST(FdManagerDispatch, HandlersDestroyedByAnotherCallbackInThePassAreNeverCalled) {
    io::PollFdManager manager;
    Calls calls;
    std::vector<iotest::SocketPair> pairs(3);
    std::vector<Recorder*> alive;
    for (int i = 0; i < 3; ++i) {
        pairs[i] = iotest::makeSocketPair();
        ASSERT_EQ(::write(pairs[i].far.get(), "x", 1), 1);
        auto* handler = new Recorder(pairs[i].near.get(), calls, "h" + std::to_string(i));
        handler->onCall = [&alive, handler] {
            for (Recorder* other : std::vector<Recorder*>(alive))
                if (other != handler) {
                    std::erase(alive, other);
                    delete other;
                }
        };
        alive.push_back(handler);
        manager.add(handler, true);
        manager.setInterest(handler, true, true);
        manager.setPending(handler, io::FdManager::Pending::Other);
    }
    manager.wait(30000);
    ASSERT_EQ(alive.size(), 1u);
    EXPECT_EQ(calls.size(), 3u) << "read, write and pending of the survivor only";
    for (const std::string& call : calls)
        EXPECT_EQ(call.substr(0, 2), calls[0].substr(0, 2));
    delete alive[0];
}

// select could not watch this number; poll must.
TEST(FdManagerDispatch, DescriptorAboveTheSelectLimitIsServed) {
    rlimit limit;
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    rlimit saved = limit;
    constexpr int HighFd = 1500;
    if (limit.rlim_cur <= HighFd) {
        limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, 4096);
        ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &limit), 0);
    }
    iotest::SocketPair pair = iotest::makeSocketPair();
    ASSERT_EQ(::dup3(pair.near.get(), HighFd, O_CLOEXEC), HighFd);
    plat::UniqueFd high(HighFd);
    {
        io::PollFdManager manager;
        Calls calls;
        Recorder handler(HighFd, calls, "high");
        manager.add(&handler, true);
        manager.setInterest(&handler, true, false);
        ASSERT_EQ(::write(pair.far.get(), "x", 1), 1);
        manager.wait(30000);
        EXPECT_EQ(calls, Calls{"high:read"});
    }
    high.reset();
    ::setrlimit(RLIMIT_NOFILE, &saved);
}

TEST(FdManagerWakeUp, WakeFromAnotherThreadEndsTheWait) {
    io::PollFdManager manager;
    auto started = std::chrono::steady_clock::now();
    std::thread other([&] { manager.wake(); });
    manager.wait(60000);
    other.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(50));
    EXPECT_EQ(manager.wait(0), 0) << "the wake-up was consumed";
}

// The number closed by the manager is taken by a new descriptor, which the handler's destructor
// must leave alone.
TEST(FdManagerClose, CloseAllExceptLeavesHandlersWithoutTheirDescriptors) {
    io::PollFdManager manager;
    iotest::SocketPair pair = iotest::makeSocketPair();
    struct Owning : io::FdHandler {
        explicit Owning(int fd) : FdHandler(fd, true) {}
        void handleRead() override {}
    };
    int closedNumber = pair.near.release();
    auto closed = std::make_unique<Owning>(closedNumber);
    Owning kept(pair.far.release());
    manager.add(closed.get(), true);
    manager.add(&kept, true);

    manager.closeAllExcept(kept.getFd());
    EXPECT_EQ(closed->getFd(), -1);
    EXPECT_NE(kept.getFd(), -1);
    ASSERT_EQ(::dup3(kept.getFd(), closedNumber, O_CLOEXEC), closedNumber);
    closed.reset();
    EXPECT_NE(::fcntl(closedNumber, F_GETFD), -1);
    ::close(closedNumber);
}

class CountingTimer : public plat::Timer::Callback {
public:
    bool timerExpired(plat::Timer*) override {
        ++expiries;
        return false;
    }
    int expiries = 0;
};

TEST(FdManagerTimers, DueTimersRunDuringTheWait) {
    io::PollFdManager manager;
    CountingTimer callback;
    plat::Timer timer(&callback);
    timer.start(10);
    EXPECT_TRUE(iotest::serveUntil(manager, [&] { return callback.expiries == 1; }));
}

} // namespace
