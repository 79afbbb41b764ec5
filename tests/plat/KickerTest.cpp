// The wake-up pair: kicks are readable on the kickee's descriptor, and kickers outliving the
// kickee write nowhere.
#include <plat/Kicker.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <thread>

namespace {

bool readable(int fd) {
    pollfd watched{fd, POLLIN, 0};
    return ::poll(&watched, 1, 0) == 1;
}

TEST(Kicker, KicksFromAnyThreadAreReadableUntilDrained) {
    plat::Kickee kickee;
    EXPECT_FALSE(readable(kickee.fd()));
    EXPECT_TRUE(::fcntl(kickee.fd(), F_GETFD) & FD_CLOEXEC);
    plat::Kicker kicker = kickee.kicker();
    std::thread other([&] { kicker.kick(); });
    other.join();
    EXPECT_TRUE(readable(kickee.fd()));
    kicker.kick();
    EXPECT_TRUE(kickee.drain());
    EXPECT_FALSE(readable(kickee.fd()));
    EXPECT_FALSE(kickee.drain());
    plat::Kicker().kick();
}

TEST(Kicker, AKickerThatOutlivesItsKickeeWritesIntoNoReusedDescriptor) {
    plat::Kicker kicker;
    {
        plat::Kickee kickee;
        kicker = kickee.kicker();
    }
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    kicker.kick();
    EXPECT_FALSE(readable(ends[0]));
    ::close(ends[0]);
    ::close(ends[1]);
}

} // namespace
