// Kickers that outlive their kickee write nowhere (the kicks themselves: KickeeHandlerTest).
#include <plat/Kicker.h>

#include <gtest/gtest.h>

#include <poll.h>

namespace {

bool readable(int fd) {
    pollfd watched{fd, POLLIN, 0};
    return ::poll(&watched, 1, 0) == 1;
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
