// The per-thread descriptor manager: the current manager, readiness dispatch and timers.
#include <io/FdManager.h>

#include <plat/Timer.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

// Reads one byte per call from a pipe it owns the read end of.
class PipeReader : public io::FdHandler {
public:
    PipeReader(int readEnd, std::vector<PipeReader*>& log) : FdHandler(readEnd), log(log) {}
    void handleRead() override {
        char byte;
        [[maybe_unused]] ssize_t got = ::read(fd, &byte, 1);
        log.push_back(this);
        if (victim)
            io::FdManager::current()->add(victim, false);
    }
    std::vector<PipeReader*>& log;
    PipeReader* victim = nullptr;
};

// The read end goes to a PipeReader, which closes it.
struct Pipe {
    Pipe() { [[maybe_unused]] int made = ::pipe2(ends, O_CLOEXEC); }
    ~Pipe() { ::close(ends[1]); }
    int ends[2] = {-1, -1};
};

class CountingTimer : public plat::Timer::Callback {
public:
    bool timerExpired(plat::Timer*) override {
        ++expiries;
        return false;
    }
    int expiries = 0;
};

TEST(FdManager, NestedManagersRestoreTheOuterOne) {
    EXPECT_EQ(io::FdManager::current(), nullptr);
    io::FdManager outer;
    EXPECT_EQ(io::FdManager::current(), &outer);
    {
        io::FdManager inner;
        EXPECT_EQ(io::FdManager::current(), &inner);
    }
    EXPECT_EQ(io::FdManager::current(), &outer);
}

TEST(FdManager, HandlerUnregisteredDuringDispatchIsNotCalled) {
    io::FdManager manager;
    std::vector<PipeReader*> log;
    Pipe first;
    Pipe second;
    PipeReader a(first.ends[0], log);
    PipeReader b(second.ends[0], log);
    a.victim = &b;
    b.victim = &a;
    for (PipeReader* reader : {&a, &b}) {
        manager.add(reader, true);
        manager.setInterest(reader, true, false);
    }
    ASSERT_EQ(::write(first.ends[1], "x", 1), 1);
    ASSERT_EQ(::write(second.ends[1], "x", 1), 1);
    EXPECT_EQ(manager.wait(30000), 2);
    EXPECT_EQ(log.size(), 1u);
    manager.add(&a, false);
    manager.add(&b, false);
}

TEST(FdManager, DueTimersRunDuringTheWait) {
    io::FdManager manager;
    CountingTimer callback;
    plat::Timer timer(&callback);
    timer.start(10);
    for (int turn = 0; turn < 100 && callback.expiries == 0; ++turn)
        manager.wait(30000);
    EXPECT_EQ(callback.expiries, 1);
}

} // namespace
