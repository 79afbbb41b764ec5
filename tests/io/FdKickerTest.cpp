// The wake-up pipe: bytes kicked in from any thread reach the creating thread's callback through
// an input stream, and a record cut short is read whole once the rest has arrived.
#include "support/ioTestSupport.h"

#include <io/FdKicker.h>
#include <io/PollFdManager.h>

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

// Takes two-byte records; a lone byte waits for its partner.
class RecordReader : public io::FdKickerCallback {
public:
    void handleKick(io::FdKicker*, rdr::InStream& in) override {
        ++calls;
        while (true) {
            received.push_back(in.readU16());
            in.setCheckpoint();
        }
    }
    std::vector<unsigned> received;
    int calls = 0;
};

TEST(FdKicker, RecordsArriveInOrderAndAKickFromAnotherThreadWakesTheWait) {
    io::PollFdManager manager;
    RecordReader reader;
    io::FdKicker kicker(&reader);
    kicker.kick(1);
    kicker.kick(2);
    kicker.kick(3);
    ASSERT_TRUE(iotest::serveUntil(manager, [&] { return reader.received.size() == 1; }));
    std::thread other([&] { kicker.kick(4); });
    ASSERT_TRUE(iotest::serveUntil(manager, [&] { return reader.received.size() == 2; }));
    other.join();
    EXPECT_EQ(reader.received, (std::vector<unsigned>{0x0102, 0x0304}));
}

TEST(FdKicker, DrainDiscardsPendingBytes) {
    io::PollFdManager manager;
    RecordReader reader;
    io::FdKicker kicker(&reader);
    kicker.kick(1);
    kicker.drain();
    EXPECT_EQ(manager.wait(0), 0);
    EXPECT_EQ(reader.calls, 0);
}

TEST(FdKicker, ForgetsItsManagerWhenTheManagerGoesFirst) {
    RecordReader reader;
    auto manager = std::make_unique<io::PollFdManager>();
    io::FdKicker kicker(&reader);
    EXPECT_EQ(kicker.manager(), manager.get());
    manager.reset();
    EXPECT_EQ(kicker.manager(), nullptr);
}

TEST(FdKicker, CreatingWithoutManagerIsAnAssertionFailure) {
    RecordReader reader;
    EXPECT_DEATH(io::FdKicker kicker(&reader), "Assertion 'fdMgr' failed");
}

} // namespace
