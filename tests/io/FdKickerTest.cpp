// The wake-up pipe: bytes kicked in arrive in order on the creating thread's manager.
#include <io/FdKicker.h>

#include <io/FdManager.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

class CollectingCallback : public io::FdKickerCallback {
public:
    void handleKick(io::FdKicker*, const unsigned char* bytes, std::size_t count) override {
        received.insert(received.end(), bytes, bytes + count);
    }
    std::vector<unsigned char> received;
};

void serveUntil(io::FdManager& manager, const std::vector<unsigned char>& received,
                std::size_t count) {
    for (int turn = 0; turn < 1000 && received.size() < count; ++turn)
        manager.wait(30000);
}

TEST(FdKicker, BytesArriveInOrderAndAKickFromAnotherThreadWakesTheWait) {
    io::FdManager manager;
    CollectingCallback callback;
    io::FdKicker kicker(&callback);
    kicker.kick(1);
    kicker.kick(17);
    serveUntil(manager, callback.received, 2);
    std::thread other([&] { kicker.kick(255); });
    serveUntil(manager, callback.received, 3);
    other.join();
    EXPECT_EQ(callback.received, (std::vector<unsigned char>{1, 17, 255}));
}

TEST(FdKicker, DrainDiscardsPendingBytes) {
    io::FdManager manager;
    CollectingCallback callback;
    io::FdKicker kicker(&callback);
    kicker.kick(1);
    kicker.drain();
    EXPECT_EQ(manager.wait(0), 0);
    EXPECT_TRUE(callback.received.empty());
}

TEST(FdKicker, ForgetsItsManagerWhenTheManagerGoesFirst) {
    CollectingCallback callback;
    auto manager = std::make_unique<io::FdManager>();
    io::FdKicker kicker(&callback);
    EXPECT_EQ(kicker.manager(), manager.get());
    manager.reset();
    EXPECT_EQ(kicker.manager(), nullptr);
}

TEST(FdKicker, CreatingWithoutManagerIsAnAssertionFailure) {
    CollectingCallback callback;
    EXPECT_DEATH(io::FdKicker kicker(&callback), "Assertion 'fdMgr' failed");
}

} // namespace
