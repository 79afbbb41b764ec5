// The installed launcher's error box under an Xvfb of the test's own: its window properties, how
// it ends (and how it does not), its translations, its geometry in light and dark, at several
// depths and scales, and the bad displays and bad texts it meets.
#include "support/ChildProcess.h"
#include "support/Sandbox.h"

#include <support/TemporaryDirectory.h>
#include <support/XServer.h>
#include <support/fileContents.h>

#include <rfb/ManagedPixelBuffer.h>
#include <wvw/Style.h>
#include <wvw/WLabelButton.h>
#include <wvw/painting.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace launchertest;
using testsupport::runXClient;
using testsupport::TemporaryDirectory;
using testsupport::XServer;
using testsupport::XServerOptions;

namespace {

const std::string installedLauncher = QV_INSTALLED_LAUNCHER;
const std::string brokenPayloadLauncher = QV_BROKEN_PAYLOAD_LAUNCHER;

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// A box of the launcher: started by the test, found on the screen, ended by the test.
class Box {
public:
    Box(const XServer& server, std::vector<std::string> command)
        : server(server), process(command) {
        auto found =
            runXClient(server, {"xdotool", "search", "--sync", "--classname", "qvserverLauncher"});
        window = found.output.substr(0, found.output.find('\n'));
    }

    Geometry geometry() const {
        auto info = runXClient(server, {"xwininfo", "-id", window}).output;
        Geometry g;
        auto field = [&](const char* name) {
            auto at = info.find(name);
            return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + std::strlen(name));
        };
        g.x = field("Absolute upper-left X:");
        g.y = field("Absolute upper-left Y:");
        g.width = field("Width:");
        g.height = field("Height:");
        return g;
    }
    void xdotool(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), "xdotool");
        runXClient(server, arguments);
    }

    const XServer& server;
    ChildProcess process;
    std::string window;
};

// The window's pixels, 0xRRGGBB, from a screenshot of the root.
struct WindowPixels {
    WindowPixels(const XServer& server, const Geometry& g) : g(g) {
        shot = testsupport::screenshot(server);
    }
    std::uint32_t at(int x, int y) const { return shot.pixel(g.x + x, g.y + y); }
    // The bounding box of the pixels in area that differ from background by more than tolerance
    // in a channel.
    Geometry differing(Geometry area, std::uint32_t background, int tolerance) const {
        int left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
        for (int y = area.y; y < area.y + area.height; ++y)
            for (int x = area.x; x < area.x + area.width; ++x)
                if (distance(at(x, y), background) > tolerance) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        return right < 0 ? Geometry{} : Geometry{left, top, right - left + 1, bottom - top + 1};
    }
    static int distance(std::uint32_t a, std::uint32_t b) {
        int most = 0;
        for (int shift : {0, 8, 16})
            most = std::max(most, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
        return most;
    }

    Geometry g;
    testsupport::Screenshot shot;
};

// A launcher in a directory of its own: with the broken payload it extracts, fails to execute it
// and removes the file; its configuration file sits beside it.
class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::copyExecutable(brokenPayloadLauncher, launcher); }

    void configure(const std::string& lines) {
        std::filesystem::create_directories(directory.file("kbx/config.d"));
        testsupport::writeFile(directory.file("kbx/config.d/common"), lines);
    }
    std::vector<std::string> command(const XServer& server,
                                     std::vector<std::string> environment = {}) {
        std::vector<std::string> wrapped{"/usr/bin/env", "DISPLAY=" + server.display()};
        wrapped.insert(wrapped.end(), environment.begin(), environment.end());
        wrapped.push_back(launcher);
        return Sandbox::available() ? sandbox.wrap(wrapped) : wrapped;
    }
    void expectFailedAndClean(ChildProcess& process) {
        ExitResult result = process.finish();
        EXPECT_EQ(result.status, 1) << result.errorOutput;
        EXPECT_EQ(directory.entries(), (std::vector<std::string>{"kbx", "qvserverLauncher"}));
    }

    Sandbox sandbox;
    TemporaryDirectory directory;
    const std::string launcher = directory.file("qvserverLauncher");
};

TEST_F(MessageBoxTest, TheWindowNamesTheApplicationAndCarriesItsIcon) {
    configure("");
    XServer server;
    Box box(server, command(server));

    std::string properties = runXClient(server, {"xprop", "-id", box.window}).output;
    std::string icon = runXClient(server, {"xprop", "-id", box.window, "-f", "_NET_WM_ICON", "32c",
                                           "=$0+", "_NET_WM_ICON"})
                           .output;
    box.xdotool({"key", "--window", box.window, "Return"});

    EXPECT_NE(properties.find("WM_CLASS(STRING) = \"qvserverLauncher\", "
                              "\"quorvel ltd.-qvserverLauncher\""),
              std::string::npos)
        << properties;
    EXPECT_NE(properties.find("_NET_WM_NAME(UTF8_STRING) = \"qvserverLauncher\""),
              std::string::npos);
    EXPECT_NE(properties.find("_NET_WM_PID(CARDINAL) = "), std::string::npos);
    EXPECT_NE(properties.find("WM_PROTOCOLS(ATOM): protocols  WM_TAKE_FOCUS, WM_DELETE_WINDOW"),
              std::string::npos);
    EXPECT_EQ(properties.find("WM_TRANSIENT_FOR"), std::string::npos);
    EXPECT_EQ(std::count(icon.begin(), icon.end(), ',') + 1, 2564) << icon.substr(0, 200);
    expectFailedAndClean(box.process);
}

struct Ending {
    const char* name;
    std::vector<std::string> action; // %W is the window, %X %Y the OK button's centre
    bool windowManager;
};

class MessageBoxEndingTest : public MessageBoxTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(MessageBoxEndingTest, EndsTheBoxAndExitsWithOne) {
    configure("");
    XServer server;
    std::unique_ptr<testsupport::XClient> windowManager;
    if (GetParam().windowManager)
        windowManager = testsupport::startWindowManager(server, {"openbox"});
    Box box(server, command(server));
    Geometry g = box.geometry();
    std::vector<std::string> action = GetParam().action;
    for (std::string& word : action) {
        if (word == "%W")
            word = box.window;
        else if (word == "%X")
            word = std::to_string(g.width / 2);
        else if (word == "%Y")
            word = std::to_string(g.height - 23);
    }
    if (action[0] == "xdotool") {
        box.xdotool({action.begin() + 1, action.end()});
    } else {
        // wmctrl finds only windows the window manager has taken on, which may take a moment.
        for (int attempt = 0; attempt < 500 && runXClient(server, action).status != 0; ++attempt) {
        }
    }
    expectFailedAndClean(box.process);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, MessageBoxEndingTest,
    ::testing::Values(
        Ending{"Return", {"xdotool", "windowfocus", "--sync", "%W", "key", "Return"}, false},
        Ending{"Space", {"xdotool", "windowfocus", "--sync", "%W", "key", "space"}, false},
        Ending{"ClickOnOk",
               {"xdotool", "mousemove", "--window", "%W", "%X", "%Y", "click", "1"},
               false},
        Ending{"WindowManagerClose", {"wmctrl", "-c", "qvserverLauncher"}, true},
        Ending{"WindowDestroyedByAnotherClient", {"xdotool", "windowclose", "%W"}, false},
        Ending{
            "HugeSizeFromAnotherClient", {"xdotool", "windowsize", "%W", "40000", "40000"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MessageBoxTest, EscapeMeansNothing) {
    configure("Log=*:stderr:10,TXWParent:stderr:100\n");
    XServer server;
    Box box(server, command(server));

    box.xdotool({"windowfocus", "--sync", box.window, "key", "Escape"});
    while (box.process.readErrorLine().find("keysym 0xff1b down 0") == std::string::npos) {
    }
    EXPECT_TRUE(box.process.running());
    box.xdotool({"key", "Return"});
    expectFailedAndClean(box.process);
}

TEST_F(MessageBoxTest, KillingTheServerUnderTheBoxEndsTheLauncher) {
    configure("");
    XServer server;
    Box box(server, command(server));
    server.kill();
    expectFailedAndClean(box.process);
}

// LANGUAGE counts only under a system locale that asks for translations; the machine may have
// none generated, so the tests bring their own.
const std::string& localeDirectory() {
    static TemporaryDirectory directory;
    static bool generated = runToEnd({"/usr/bin/localedef", "-i", "en_US", "-f", "UTF-8",
                                      directory.file("en_US.UTF-8")})
                                .status == 0;
    EXPECT_TRUE(generated);
    return directory.path();
}

// The button as our own font code draws it, against the screen.
class MessageBoxLanguageTest
    : public MessageBoxTest,
      public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(MessageBoxLanguageTest, TheButtonShowsItsTranslation) {
    configure("");
    XServer server;
    Box box(server, command(server, {"LOCPATH=" + localeDirectory(), "LC_ALL=en_US.UTF-8",
                                     std::string("LANGUAGE=") + GetParam().first}));
    Geometry g = box.geometry();
    WindowPixels pixels(server, g);
    box.xdotool({"key", "--window", box.window, "Return"});

    wvw::WLabelButton expected(GetParam().second);
    int buttonWidth = std::max(66, expected.getPreferredSize().x + 6);
    expected.setSize({buttonWidth, 25});
    rfb::ManagedPixelBuffer drawn;
    drawn.setPF(rfb::PixelFormat(32, 24, false, true, 255, 255, 255, 16, 8, 0));
    drawn.setSize({buttonWidth, 25});
    std::uint32_t background = pixels.at(2, 2);
    // The rounded corners show the dialog's background.
    drawn.fillRect(drawn.getRect(), background);
    expected.paint(&drawn);
    Geometry button = pixels.differing({0, g.height - 40, g.width, 40}, background, 0);
    ASSERT_EQ(button.width, buttonWidth);
    int mismatches = 0;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < buttonWidth; ++x) {
            plat::Rgb rgb = wvw::colourOf(drawn, drawn.getPixel({x, y}));
            std::uint32_t want = std::uint32_t(rgb.red) << 16 | rgb.green << 8 | rgb.blue;
            mismatches += pixels.at(button.x + x, button.y + y) != want;
        }
    EXPECT_EQ(mismatches, 0);
    expectFailedAndClean(box.process);
}

INSTANTIATE_TEST_SUITE_P(Languages, MessageBoxLanguageTest,
                         ::testing::Values(std::pair{"de", "OK"}, std::pair{"fr", "OK"},
                                           std::pair{"es", "Aceptar"}, std::pair{"pt_BR", "OK"},
                                           std::pair{"xx", "OK"}),
                         [](const auto& info) { return std::string(info.param.first); });

} // namespace
