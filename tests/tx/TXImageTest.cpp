// X images: shared memory on local connections and the plain fallback, on true-colour and
// palettised displays, with their pixels checked on the screen; sizes beyond the 16-bit range
// and images that cannot be allocated are refused.
// gtest first: Xlib's None macro would rewrite a name in its headers.
#include <gtest/gtest.h>

#include <tx/TXImage.h>
#include <tx/TXWindow.h>

#include "support/EnvironmentChange.h"
#include "support/RecordingLogDest.h"
#include "support/TemporaryDirectory.h"
#include "support/XServer.h"
#include "support/inChildProcess.h"
#include "support/raisedBy.h"

#include <rfb/pixelConversion.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using testsupport::inChildProcess;
using testsupport::XServer;
using tx::TXImage;
using tx::TXWindow;

// Shared memory markers go to a scratch profile directory.
struct ImageEnvironment {
    testsupport::TemporaryDirectory profile;
    testsupport::EnvironmentChange profileVariable{"KBX_PROFILE_DIR", profile.path()};
};

struct ImageCase {
    int depth;
    bool sharedMemory;
};

std::string caseName(const testing::TestParamInfo<ImageCase>& info) {
    return "Depth" + std::to_string(info.param.depth) +
           (info.param.sharedMemory ? "SharedMemory" : "Plain");
}

class TXImageTest : public testing::TestWithParam<ImageCase> {};

// Three bands drawn into the image's own format reach the screen as those colours.
TEST_P(TXImageTest, PutsItsPixelsIntoAWindow) {
    XServer server({.width = 320,
                    .height = 240,
                    .depth = GetParam().depth,
                    .sharedMemory = GetParam().sharedMemory});
    inChildProcess([&] {
        ImageEnvironment environment;
        TXWindow::init(server.display().c_str());
        testsupport::LogRecording log("TXImage", 100);
        TXWindow window(90, 30, nullptr, 0, true);
        window.show(true);
        TXImage image({90, 30});
        EXPECT_EQ(image.usesSharedMemory(), GetParam().sharedMemory);
        EXPECT_TRUE(log.contains(GetParam().sharedMemory ? "Using shared memory XImage"
                                                         : "Using non-shm XImage"))
            << log.dump();
        const rfb::PixelFormat& format = image.getPf();
        const rfb::Rgb colours[] = {{255, 0, 0}, {0, 255, 0}, {255, 255, 255}};
        for (int band = 0; band < 3; band++)
            image.fillRect(rfb::Rect(band * 30, 0, band * 30 + 30, 30),
                           rfb::rgbToPixel(format, colours[band], nullptr));
        image.put(window.win(), TXWindow::defaultGC(), image.getRect());
        XSync(TXWindow::display(), False);
        testsupport::Screenshot shot = testsupport::screenshot(server);
        EXPECT_EQ(shot.pixel(10, 10), 0xFF0000u);
        EXPECT_EQ(shot.pixel(40, 20), 0x00FF00u);
        EXPECT_EQ(shot.pixel(89, 29), 0xFFFFFFu);
        EXPECT_EQ(shot.pixel(95, 10), shot.pixel(200, 200)) << "nothing beyond the image";
    });
}

INSTANTIATE_TEST_SUITE_P(Displays, TXImageTest,
                         testing::Values(ImageCase{24, true}, ImageCase{24, false},
                                         ImageCase{16, true}, ImageCase{8, true},
                                         ImageCase{8, false}),
                         caseName);

TEST(TXImageTest, PixelsInAnotherFormatAreTranslatedWhenPut) {
    XServer server({.width = 320, .height = 240});
    inChildProcess([&] {
        ImageEnvironment environment;
        TXWindow::init(server.display().c_str());
        TXWindow window(40, 20, nullptr, 0, true);
        window.show(true);
        TXImage image({40, 20});
        rfb::PixelFormat rgb565;
        ASSERT_TRUE(rgb565.parse("rgb565"));
        image.setPF(rgb565);
        image.fillRect(image.getRect(), 0x001F);
        image.put(window.win(), TXWindow::defaultGC(), rfb::Rect(0, 0, 20, 20));
        XSync(TXWindow::display(), False);
        testsupport::Screenshot shot = testsupport::screenshot(server);
        EXPECT_EQ(shot.pixel(5, 5), 0x0000FFu);
        EXPECT_EQ(shot.pixel(30, 5), TXWindow::lightGreyPixel()) << "only the rectangle put";
    });
}

TEST(TXImageTest, SidesBeyondTheRegionRangeAndEmptyImages) {
    XServer server({.width = 320, .height = 240});
    inChildProcess([&] {
        ImageEnvironment environment;
        TXWindow::init(server.display().c_str());
        for (rfb::Point size : {rfb::Point(32768, 1), rfb::Point(1, 65535)}) {
            EXPECT_EQ(testsupport::raisedBy([&] { TXImage image(size); }).message,
                      "An image of " + std::to_string(size.x) + "x" + std::to_string(size.y) +
                          " pixels is too large");
        }
        for (rfb::Point size : {rfb::Point(0, 0), rfb::Point(-5, 3)}) {
            TXImage image(size);
            EXPECT_TRUE(image.getRect().isEmpty());
            EXPECT_EQ(image.getNativeImage(), nullptr);
            image.put(TXWindow::root(), TXWindow::defaultGC(), rfb::Rect(0, 0, 10, 10));
        }
        TXImage image({10, 10});
        EXPECT_THROW(image.setSize({40000, 40000}), plat::Exception);
        EXPECT_EQ(image.getRect(), rfb::Rect(0, 0, 10, 10)) << "a refused size changes nothing";
        image.setSize({20, 5});
        EXPECT_EQ(image.getRect(), rfb::Rect(0, 0, 20, 5));
    });
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QV_ADDRESS_SANITIZER 1
#endif

TEST(TXImageTest, AnImageThatCannotBeAllocatedIsRefused) {
#ifdef QV_ADDRESS_SANITIZER
    GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#endif
    XServer server({.width = 320, .height = 240});
    inChildProcess([&] {
        ImageEnvironment environment;
        TXWindow::init(server.display().c_str());
        rlimit limit = {std::size_t(1) << 30, std::size_t(1) << 30};
        ASSERT_EQ(setrlimit(RLIMIT_AS, &limit), 0);
        EXPECT_EQ(testsupport::raisedBy([&] {
                      TXImage image({32767, 32767});
                  }).message,
                  "No memory for an image of 32767x32767 pixels");
    });
}

TEST(TXImageTest, SharedMemoryIsOnlyForUnixDomainConnections) {
    int local[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, local), 0);
    EXPECT_TRUE(TXImage::isLocalConnection(local[0]));

    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    int remote = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(connect(remote, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_FALSE(TXImage::isLocalConnection(remote));
    for (int fd : {local[0], local[1], listener, remote})
        close(fd);
}

} // namespace
