// A kick from another thread ends the descriptor wait of the kickee's thread.
#include <io/KickeeHandler.h>

#include <io/FdManager.h>

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(KickeeHandler, AKickFromAnotherThreadEndsTheWaitAndRunsTheCallbackHere) {
    io::FdManager manager;
    plat::Kickee kickee;
    std::thread::id calledOn;
    int calls = 0;
    io::KickeeHandler handler(kickee, [&] {
        calledOn = std::this_thread::get_id();
        ++calls;
    });
    std::thread kicking([kicker = kickee.kicker()] {
        kicker.kick();
        kicker.kick();
    });
    for (int turn = 0; turn < 100 && calls == 0; ++turn)
        manager.wait(30000);
    kicking.join();
    manager.wait(0);
    EXPECT_GE(calls, 1);
    EXPECT_LE(calls, 2);
    EXPECT_EQ(calledOn, std::this_thread::get_id());
}

} // namespace
