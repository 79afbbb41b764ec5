// The select wrapper's time-outs and the atoms interned once.
// gtest first: Xlib's None macro would rewrite a name in its headers.
#include <gtest/gtest.h>

#include <tx/TXUtil.h>
#include <tx/TXWindow.h>

#include "support/XServer.h"
#include "support/inChildProcess.h"

#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace {

TEST(TXUtilTest, SelectTimeoutsGainAMillisecondExceptZeroAndTheLargest) {
    struct Case {
        int milliseconds;
        long seconds;
        long microseconds;
    };
    for (Case c : {Case{0, 0, 0}, Case{5, 0, 6000}, Case{999, 1, 0},
                   Case{INT_MAX, INT_MAX / 1000, INT_MAX % 1000 * 1000}}) {
        timeval limit = tx::selectTimeval(c.milliseconds);
        EXPECT_EQ(limit.tv_sec, c.seconds) << c.milliseconds;
        EXPECT_EQ(limit.tv_usec, c.microseconds) << c.milliseconds;
    }
}

TEST(TXUtilTest, TheRemainingTimeIsRoundedUpAndNeverNegative) {
    EXPECT_EQ(tx::remainingMilliseconds(10, 35'000), 7);
    EXPECT_EQ(tx::remainingMilliseconds(10, 1), 10);
    EXPECT_EQ(tx::remainingMilliseconds(10, 100'000), 0);
    EXPECT_EQ(tx::remainingMilliseconds(10, 120'000), 0);
}

TEST(TXUtilTest, ATimedOutSelectLeavesNoTimeToWait) {
    int ends[2];
    ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(ends[0], &readable);
    int timeout = 2;
    EXPECT_EQ(tx::selectWithTimeout(ends[0] + 1, &readable, nullptr, nullptr, timeout), 0);
    EXPECT_EQ(timeout, 0);
    close(ends[0]);
    close(ends[1]);
}

TEST(TXUtilTest, AtomsAreInternedOnFirstUseOnly) {
    testsupport::XServer server;
    testsupport::inChildProcess([&] {
        tx::TXWindow::init(server.display().c_str());
        Display* display = tx::TXWindow::display();
        unsigned long before = NextRequest(display);
        Atom atom = tx::atoms::motifWmInfo();
        EXPECT_EQ(NextRequest(display), before + 1);
        EXPECT_EQ(tx::atoms::motifWmInfo(), atom);
        EXPECT_EQ(NextRequest(display), before + 1);
        EXPECT_EQ(atom, XInternAtom(display, "_MOTIF_WM_INFO", True));
    });
}

} // namespace
