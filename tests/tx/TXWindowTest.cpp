// The display connection and windows: opening the display, the default colours on true-colour
// and full palettised displays, native pixel formats, window-manager properties, sizes, event
// dispatch with modal windows and grabs, the event loop and a lost connection.
// gtest first: Xlib's None macro would rewrite a name in its headers.
#include <gtest/gtest.h>

#include <tx/TXUtil.h>
#include <tx/TXWindow.h>

#include "support/EnvironmentChange.h"
#include "support/LogCapture.h"
#include "support/TemporaryDirectory.h"
#include "support/XServer.h"
#include "support/fileContents.h"
#include "support/forkedChild.h"
#include "support/inChildProcess.h"
#include "support/raisedBy.h"
#include "support/xEvents.h"

#include <os/AppInfo.h>
#include <plat/Configuration.h>
#include <plat/Timer.h>

#include <X11/Xatom.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using testsupport::inChildProcess;
using testsupport::runXClient;
using testsupport::XServer;
using tx::TXWindow;
using txtest::RecordingWindow;

std::string hex(unsigned long id) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", id);
    return text;
}

std::string xprop(const XServer& server, Window window, const char* property) {
    return runXClient(server, {"xprop", "-id", hex(window), property}).output;
}

// The bytes of a format-8 property of ours.
std::string rawProperty(Window window, Atom property) {
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(TXWindow::display(), window, property, 0, 1024, False, AnyPropertyType,
                       &type, &format, &items, &after, &data);
    std::string bytes(data ? reinterpret_cast<char*>(data) : "", items);
    if (data)
        XFree(data);
    return bytes;
}

XEvent eventFor(Window window, int type) {
    XEvent event = {};
    event.type = type;
    event.xany.window = window;
    event.xany.display = TXWindow::display();
    return event;
}

XEvent deleteWindowMessage(Window window) {
    XEvent event = eventFor(window, ClientMessage);
    event.xclient.message_type = tx::atoms::wmProtocols();
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(tx::atoms::wmDeleteWindow());
    return event;
}

struct DeleteRecorder : tx::TXDeleteWindowCallback {
    void deleteWindow(TXWindow&) override { calls++; }
    int calls = 0;
};

TEST(TXWindowTest, CentringABoxLargerThanTheScreenTruncatesTowardZero) {
    EXPECT_EQ(tx::centredPosition({1024, 768}, {1101, 801}, {10, 30}), rfb::Point(-43, -31));
    EXPECT_EQ(tx::centredPosition({1024, 768}, {200, 100}, {10, 30}), rfb::Point(407, 319));
}

TEST(TXWindowTest, InitWithAnEmptyNameKeepsDisplayAndAllocatesTheSixGreys) {
    XServer server;
    inChildProcess([&] {
        testsupport::EnvironmentChange display("DISPLAY", server.display());
        TXWindow::init("");
        EXPECT_EQ(std::getenv("DISPLAY"), server.display());
        TXWindow::init(":no-such-display");
        EXPECT_EQ(std::getenv("DISPLAY"), server.display()) << "a second init does nothing";
        EXPECT_EQ(TXWindow::blackPixel(), 0x000000u);
        EXPECT_EQ(TXWindow::lightGreyPixel(), 0xBBBBBBu);
        EXPECT_EQ(TXWindow::veryLightGreyPixel(), 0xEEEEEEu);
        EXPECT_EQ(TXWindow::darkGreyPixel(), 0x555555u);
        EXPECT_EQ(TXWindow::midGreyPixel(), 0x888888u);
        EXPECT_EQ(TXWindow::whitePixel(), 0xFFFFFFu);
        EXPECT_NE(TXWindow::defaultFont(), nullptr);
        EXPECT_EQ(TXWindow::getDecorationSize(), rfb::Point(6, 24));
    });
}

TEST(TXWindowTest, NoDisplayRetriesWithLocalhostAuthorityAndNamesTheDisplay) {
    inChildProcess([&] {
        testsupport::EnvironmentChange authority("XAUTHLOCALHOSTNAME", std::nullopt);
        auto raised = testsupport::raisedBy([] { TXWindow::init(":65012"); });
        EXPECT_EQ(raised.message, "unable to open display \":65012\"");
        ASSERT_NE(std::getenv("XAUTHLOCALHOSTNAME"), nullptr);
        EXPECT_STREQ(std::getenv("XAUTHLOCALHOSTNAME"), "localhost");
        EXPECT_FALSE(TXWindow::isInitialised());
    });
}

struct PixelFormatCase {
    int depth;
    const char* text;
    const char* xdpyinfoClass;
};

class NativePixelFormatTest : public testing::TestWithParam<PixelFormatCase> {};

TEST_P(NativePixelFormatTest, FollowsTheDefaultVisual) {
    XServer server({.depth = GetParam().depth});
    std::string info = runXClient(server, {"xdpyinfo"}).output;
    EXPECT_NE(info.find("depth of root window:    " + std::to_string(GetParam().depth)),
              std::string::npos);
    EXPECT_NE(info.find(GetParam().xdpyinfoClass), std::string::npos);
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        Display* display = TXWindow::display();
        rfb::PixelFormat format = TXWindow::getNativePixelFormat(
            DefaultVisual(display, DefaultScreen(display)), GetParam().depth);
        char text[rfb::PixelFormat::TextCapacity] = "";
        format.print(text);
        EXPECT_STREQ(text, GetParam().text);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Depths, NativePixelFormatTest,
    testing::Values(
        PixelFormatCase{24, "depth 24 (32 bpp) little-endian rgb888", "class:    TrueColor"},
        PixelFormatCase{16, "depth 16 (16 bpp) little-endian rgb565", "class:    TrueColor"},
        PixelFormatCase{8, "depth 8 (8 bpp) colour-map", "class:    PseudoColor"}),
    [](const testing::TestParamInfo<PixelFormatCase>& info) {
        return "Depth" + std::to_string(info.param.depth);
    });

TEST(TXWindowTest, UnusablePixmapFormatsAndPaletteDepthsAreRefused) {
    XServer server;
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        Visual palette = *DefaultVisual(TXWindow::display(), 0);
        palette.c_class = PseudoColor;
        EXPECT_EQ(
            testsupport::raisedBy([&] { TXWindow::getNativePixelFormat(&palette, 4); }).message,
            "Unsupported palettized visual depth 4");
        EXPECT_EQ(
            testsupport::raisedBy([&] { TXWindow::getNativePixelFormat(&palette, 1); }).message,
            "Error: couldn't find suitable pixmap format");
    });
}

// Another client takes every free cell of the 8-bit default colormap read-only, with colours
// none of which is one of the six greys (Xvfb's own cells hold a cube and some greys).
void fillColormap(Display* other) {
    Colormap colormap = DefaultColormap(other, 0);
    for (int i = 0; i < 4096; i++) {
        XColor colour = {};
        colour.red = std::uint16_t((i % 16) * 0x1111);
        colour.green = std::uint16_t((i / 16 % 16) * 0x1111 + 0x0808);
        colour.blue = std::uint16_t((i / 256) * 0x1111 + 0x0404);
        colour.flags = DoRed | DoGreen | DoBlue;
        if (!XAllocColor(other, colormap, &colour))
            break;
    }
}

// The cell the fallback must choose: the nearest by halved channel differences, first wins.
unsigned long nearestCell(Display* display, unsigned short level) {
    std::vector<XColor> cells(256);
    for (int i = 0; i < 256; i++)
        cells[std::size_t(i)].pixel = std::size_t(i);
    XQueryColors(display, DefaultColormap(display, 0), cells.data(), 256);
    auto distance = [&](const XColor& cell) {
        auto square = [](int d) { return std::int64_t(d / 2) * (d / 2); };
        return square(cell.red - level) + square(cell.green - level) + square(cell.blue - level);
    };
    std::size_t best = 0;
    for (std::size_t i = 1; i < cells.size(); i++) {
        if (distance(cells[i]) < distance(cells[best]))
            best = i;
    }
    return best;
}

TEST(TXWindowTest, AFullPaletteGivesTheNearestExistingCells) {
    XServer server({.depth = 8});
    inChildProcess([&] {
        Display* other = XOpenDisplay(server.display().c_str());
        ASSERT_NE(other, nullptr);
        fillColormap(other);
        XColor spare = {};
        spare.red = spare.green = spare.blue = 0x1234;
        ASSERT_FALSE(XAllocColor(other, DefaultColormap(other, 0), &spare)) << "colormap full";

        TXWindow::init(server.display().c_str());
        EXPECT_EQ(TXWindow::lightGreyPixel(), nearestCell(other, 0xBBBB));
        EXPECT_EQ(TXWindow::veryLightGreyPixel(), nearestCell(other, 0xEEEE));
        EXPECT_EQ(TXWindow::darkGreyPixel(), nearestCell(other, 0x5555));
        EXPECT_EQ(TXWindow::midGreyPixel(), nearestCell(other, 0x8888));
        XColor grey = {};
        grey.pixel = TXWindow::lightGreyPixel();
        XQueryColor(other, DefaultColormap(other, 0), &grey);
        EXPECT_NE(grey.red, 0xBBBB) << "an existing colour near the grey";
        XColor black = {};
        black.pixel = TXWindow::blackPixel();
        XQueryColor(other, DefaultColormap(other, 0), &black);
        EXPECT_EQ(black.red + black.green + black.blue, 0) << "black exists and is shared";
        XCloseDisplay(other);
    });
}

TEST(TXWindowTest, ToplevelSetsTheWindowManagerProperties) {
    XServer server;
    inChildProcess([&] {
        os::AppInfo::init("qvtest", "Quorvel Ltd.", "qvtest", nullptr, nullptr);
        TXWindow::init(server.display().c_str());
        TXWindow::setDefaultIcon({2, 1, 0x11223344, 0x55667788});
        DeleteRecorder callback;
        RecordingWindow window(120, 50);
        window.toplevel("Box", &callback);
        XSync(TXWindow::display(), False);

        EXPECT_EQ(xprop(server, window.win(), "WM_CLASS"),
                  "WM_CLASS(STRING) = \"Box\", \"quorvel ltd.-qvtest\"\n");
        EXPECT_EQ(xprop(server, window.win(), "WM_PROTOCOLS"),
                  "WM_PROTOCOLS(ATOM): protocols  WM_TAKE_FOCUS, WM_DELETE_WINDOW\n");
        EXPECT_EQ(xprop(server, window.win(), "_NET_WM_PID"),
                  "_NET_WM_PID(CARDINAL) = " + std::to_string(getpid()) + "\n");
        EXPECT_EQ(runXClient(server, {"xprop", "-id", hex(window.win()), "-notype", "-f",
                                      "_NET_WM_ICON", "32i", "_NET_WM_ICON"})
                      .output,
                  "_NET_WM_ICON = 2, 1, 287454020, 1432778632\n");
        EXPECT_EQ(xprop(server, window.win(), "WM_TRANSIENT_FOR"),
                  "WM_TRANSIENT_FOR:  not found.\n");

        window.setName("Gr\xC3\xBC\xC3\x9F\x65");
        window.setTransientFor(TXWindow::root());
        XSync(TXWindow::display(), False);
        EXPECT_EQ(rawProperty(window.win(), XA_WM_NAME), "Gr\xFC\xDF\x65");
        EXPECT_EQ(rawProperty(window.win(), tx::atoms::netWmName()), "Gr\xC3\xBC\xC3\x9F\x65");
        EXPECT_EQ(rawProperty(window.win(), tx::atoms::netWmIconName()), "Gr\xC3\xBC\xC3\x9F\x65");
        EXPECT_NE(xprop(server, window.win(), "WM_TRANSIENT_FOR").find(hex(TXWindow::root())),
                  std::string::npos);
        window.setTransientFor(0);
        XSync(TXWindow::display(), False);
        EXPECT_EQ(xprop(server, window.win(), "WM_TRANSIENT_FOR"),
                  "WM_TRANSIENT_FOR:  not found.\n");

        TXWindow plain(10, 10);
        plain.toplevel("Plain", nullptr, "Own-Class");
        XSync(TXWindow::display(), False);
        EXPECT_EQ(xprop(server, plain.win(), "WM_PROTOCOLS"),
                  "WM_PROTOCOLS(ATOM): protocols  WM_TAKE_FOCUS\n");
        EXPECT_EQ(xprop(server, plain.win(), "WM_CLASS"),
                  "WM_CLASS(STRING) = \"Plain\", \"Own-Class\"\n");
    });
}

TEST(TXWindowTest, WithoutAnyFontInitFailsAndCanBeTriedAgain) {
    XServer server;
    testsupport::TemporaryDirectory fonts;
    fonts.write("fonts.dir", "0\n");
    inChildProcess([&] {
        Display* other = XOpenDisplay(server.display().c_str());
        ASSERT_NE(other, nullptr);
        std::string path = fonts.path();
        char* directories[] = {path.data()};
        XSetFontPath(other, directories, 1);
        XSync(other, False);
        EXPECT_EQ(testsupport::raisedBy([&] { TXWindow::init(server.display().c_str()); }).message,
                  "Failed to load any font");
        EXPECT_FALSE(TXWindow::isInitialised());
        XSetFontPath(other, nullptr, 0);
        XSync(other, False);
        TXWindow::init(server.display().c_str());
        EXPECT_TRUE(TXWindow::isInitialised());
        XCloseDisplay(other);
    });
}

TEST(TXWindowTest, UnderAWindowManagerTheWindowIconifiesWithdrawsAndHearsDeleteWindow) {
    XServer server;
    auto manager = testsupport::startWindowManager(server, {"openbox"});
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        DeleteRecorder callback;
        RecordingWindow window(120, 60);
        window.toplevel("Managed", &callback);
        auto wmState = [&] { return xprop(server, window.win(), "WM_STATE"); };
        window.show(true);
        ASSERT_TRUE(txtest::serveEventsUntil([&] { return window.isMapped(); }));
        EXPECT_NE(wmState().find("window state: Normal"), std::string::npos) << wmState();

        window.iconify();
        ASSERT_TRUE(txtest::serveEventsUntil([&] { return !window.isMapped(); }));
        EXPECT_NE(wmState().find("window state: Iconic"), std::string::npos) << wmState();

        window.show(true);
        ASSERT_TRUE(txtest::serveEventsUntil([&] { return window.isMapped(); }));
        // wmctrl finds windows in the manager's client list, which it may update after mapping.
        ASSERT_TRUE(txtest::serveEventsUntil([&] {
            return xprop(server, TXWindow::root(), "_NET_CLIENT_LIST").find(hex(window.win())) !=
                   std::string::npos;
        }));
        testsupport::XClient close(server, {"wmctrl", "-c", "Managed"});
        EXPECT_TRUE(txtest::serveEventsUntil([&] { return callback.calls == 1; }));
        EXPECT_EQ(close.wait(), 0);

        window.show(false);
        EXPECT_TRUE(txtest::serveEventsUntil([&] {
            return wmState().find("window state: Normal") == std::string::npos;
        })) << "withdrawn: "
            << wmState();
    });
}

TEST(TXWindowTest, SizesBelowOneBecomeOneAndQueuedConfigureNotifiesMerge) {
    XServer server;
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        RecordingWindow window(100, 80);
        window.addEventMask(StructureNotifyMask);
        window.resize(0, 0);
        XSync(TXWindow::display(), False);
        EXPECT_EQ(window.width(), 1);
        EXPECT_EQ(window.height(), 1);
        EXPECT_EQ(window.sizeChangedCalls, 1);
        std::string info = runXClient(server, {"xwininfo", "-id", hex(window.win())}).output;
        EXPECT_NE(info.find("Width: 1\n"), std::string::npos) << info;

        Display* display = TXWindow::display();
        for (int width : {30, 40, 50}) {
            XEvent event = eventFor(window.win(), ConfigureNotify);
            event.xconfigure.event = event.xconfigure.window = window.win();
            event.xconfigure.width = width;
            event.xconfigure.height = 20;
            XSendEvent(display, window.win(), False, StructureNotifyMask, &event);
        }
        XSync(display, False);
        window.configuredCalls = window.sizeChangedCalls = 0;
        TXWindow::handleEvents();
        EXPECT_EQ(window.configuredCalls, 1);
        EXPECT_EQ(window.sizeChangedCalls, 1);
        EXPECT_EQ(window.width(), 50);
        EXPECT_EQ(window.height(), 20);
    });
}

TEST(TXWindowTest, AModalWindowDropsOtherWindowsInputButNotPlainMotion) {
    XServer server;
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        DeleteRecorder callback;
        RecordingWindow other, modal;
        other.toplevel("Other", &callback);
        TXWindow::pushModal(&modal);
        for (int type : {KeyPress, KeyRelease, ButtonPress, ButtonRelease}) {
            XEvent event = eventFor(other.win(), type);
            TXWindow::handleXEvent(event);
        }
        XEvent dragging = eventFor(other.win(), MotionNotify);
        dragging.xmotion.state = Button1Mask;
        TXWindow::handleXEvent(dragging);
        XEvent deletion = deleteWindowMessage(other.win());
        TXWindow::handleXEvent(deletion);
        EXPECT_TRUE(other.delivered.empty());
        EXPECT_EQ(callback.calls, 0);

        XEvent motion = eventFor(other.win(), MotionNotify);
        TXWindow::handleXEvent(motion);
        EXPECT_EQ(other.deliveredOfType(MotionNotify), 1);
        XEvent key = eventFor(modal.win(), KeyPress);
        TXWindow::handleXEvent(key);
        EXPECT_EQ(modal.deliveredOfType(KeyPress), 1);

        modal.show(false);
        TXWindow::handleXEvent(deletion);
        EXPECT_EQ(callback.calls, 1) << "withdrawing ends the modal state";
    });
}

TEST(TXWindowTest, PointerInputGoesToTheGrabHolderInItsCoordinates) {
    XServer server;
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        RecordingWindow under(200, 200), menu(50, 50);
        menu.setPosition(30, 40);
        menu.show(true);
        menu.setGrab(true, false);
        XSync(TXWindow::display(), False);
        XEvent press = eventFor(under.win(), ButtonPress);
        press.xbutton.button = 1;
        press.xbutton.x_root = 35;
        press.xbutton.y_root = 47;
        TXWindow::handleXEvent(press);
        EXPECT_TRUE(under.delivered.empty());
        ASSERT_EQ(menu.deliveredOfType(ButtonPress), 1);
        EXPECT_EQ(menu.delivered[0].xbutton.x, 5);
        EXPECT_EQ(menu.delivered[0].xbutton.y, 7);
        EXPECT_EQ(menu.delivered[0].xany.window, menu.win());

        Display* other = XOpenDisplay(server.display().c_str());
        auto otherGrab = [&] {
            int result = XGrabPointer(other, DefaultRootWindow(other), False, ButtonPressMask,
                                      GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
            XUngrabPointer(other, CurrentTime);
            XSync(other, False);
            return result;
        };
        EXPECT_EQ(otherGrab(), AlreadyGrabbed);

        menu.setGrab(false, false);
        XSync(TXWindow::display(), False);
        EXPECT_EQ(otherGrab(), GrabSuccess);
        ASSERT_TRUE(plat::Configuration::global().set("_NoGrab", "1", 10));
        menu.setGrab(true, false);
        XSync(TXWindow::display(), False);
        EXPECT_EQ(otherGrab(), GrabSuccess) << "_NoGrab keeps the grab from the server";
        menu.setGrab(false, false);
        XCloseDisplay(other);
        press.xany.window = under.win();
        TXWindow::handleXEvent(press);
        EXPECT_EQ(under.deliveredOfType(ButtonPress), 1);
    });
}

TEST(TXWindowTest, ButtonsAboveEightAreIgnored) {
    XServer server;
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        RecordingWindow window;
        for (unsigned button : {8u, 9u, 33u, 255u}) {
            for (int type : {ButtonPress, ButtonRelease}) {
                XEvent event = eventFor(window.win(), type);
                event.xbutton.button = button;
                TXWindow::handleXEvent(event);
            }
        }
        ASSERT_EQ(window.delivered.size(), 2u);
        EXPECT_EQ(window.delivered[0].xbutton.button, 8u);
    });
}

// A timer that makes a request the loop must flush, or one whose event Xlib has already read.
struct PropertyTimer : plat::Timer::Callback {
    explicit PropertyTimer(Window window, bool roundTrip) : window(window), roundTrip(roundTrip) {}
    bool timerExpired(plat::Timer*) override {
        long value = 1;
        XChangeProperty(TXWindow::display(), window, XA_CARDINAL, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&value), 1);
        if (roundTrip)
            XSync(TXWindow::display(), False);
        return false;
    }
    Window window;
    bool roundTrip;
};

struct Expiry : plat::Timer::Callback {
    bool timerExpired(plat::Timer*) override {
        expired = true;
        return false;
    }
    bool expired = false;
};

TEST(TXWindowTest, TheEventLoopSeesRequestsAndEventsOfItsTimers) {
    XServer server;
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        RecordingWindow window;
        for (bool roundTrip : {false, true}) {
            window.delivered.clear();
            PropertyTimer change(window.win(), roundTrip);
            Expiry guard;
            plat::Timer changeTimer(&change), guardTimer(&guard);
            TXWindow::runEventLoop([&] {
                if (!changeTimer.isActive() && !guardTimer.isActive() && !guard.expired) {
                    changeTimer.start(1);
                    guardTimer.start(testsupport::XDeadlineMs);
                }
                return window.deliveredOfType(PropertyNotify) > 0 || guard.expired;
            });
            EXPECT_FALSE(guard.expired) << "round trip " << roundTrip;
        }
    });
}

TEST(TXWindowTest, AConnectionDescriptorOf1024OrMoreMakesTheLoopThrow) {
    XServer server;
    inChildProcess([&] {
        rlimit limit = {2048, 2048};
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
        int filler = open("/dev/null", O_RDONLY | O_CLOEXEC);
        while (filler >= 0 && filler < 1023)
            filler = fcntl(filler, F_DUPFD_CLOEXEC, 0);
        ASSERT_EQ(filler, 1023);
        TXWindow::init(server.display().c_str());
        ASSERT_GE(ConnectionNumber(TXWindow::display()), 1024);
        auto raised = testsupport::raisedBy<plat::SystemException>(
            [] { TXWindow::runEventLoop([] { return false; }); });
        EXPECT_EQ(raised.error, EMFILE);
        EXPECT_TRUE(raised.startsWith("select")) << raised.message;
    });
}

TEST(TXWindowTest, XErrorsOutsideCatchersAreLoggedAndTheProgramGoesOn) {
    XServer server;
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        testsupport::LogCapture capture("TXWindow:stderr:0");
        XDestroyWindow(TXWindow::display(), 0x1fffffe);
        XSync(TXWindow::display(), False);
        EXPECT_TRUE(capture.contains("X Error: BadWindow (invalid Window parameter) (3)"))
            << capture.text();
    });
}

testsupport::TemporaryDirectory* markerDirectory = nullptr;

void writeExitMarker() {
    testsupport::writeFile(markerDirectory->file("exited"), "static clean-up ran");
}

TEST(TXWindowTest, ALostConnectionIsReportedAndTheProcessExitsWithOne) {
    testsupport::TemporaryDirectory directory;
    markerDirectory = &directory;
    XServer server;
    int status = testsupport::exitStatusOfForkedChild([&] {
        std::atexit(writeExitMarker);
        TXWindow::init(server.display().c_str());
        TXWindow::setConnectionLostHandler([&](const char* failure) {
            testsupport::writeFile(directory.file("report"), failure);
        });
        TXWindow window(10, 10);
        server.kill();
        for (;;)
            TXWindow::runEventLoop([] { return false; });
        return 0;
    });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(testsupport::readFile(directory.file("report"))
                  .rfind("X connection to \"" + std::string(server.display()) + "\" lost", 0),
              0u);
    EXPECT_EQ(testsupport::readFile(directory.file("exited")), "static clean-up ran");
}

} // namespace
