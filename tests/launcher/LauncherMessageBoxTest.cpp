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

#include <plat/utf8.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <thread>
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
        // Mapped, not merely created: a window found as soon as it exists may not have its size.
        auto found = runXClient(server, {"xdotool", "search", "--sync", "--onlyvisible",
                                         "--classname", "qvserverLauncher"});
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
    // The box paints when its first expose arrives, after it is mapped: shots are taken until
    // the window shows more than one colour and two shots in a row agree on it.
    WindowPixels(const XServer& server, const Geometry& g) : g(g) {
        shot = testsupport::screenshot(server);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            testsupport::Screenshot next = testsupport::screenshot(server);
            bool settled = windowAreaEqual(next) && !isUniform();
            shot = std::move(next);
            if (settled)
                return;
        }
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

private:
    bool windowAreaEqual(const testsupport::Screenshot& other) const {
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                if (other.pixel(g.x + x, g.y + y) != at(x, y))
                    return false;
        return true;
    }
    bool isUniform() const {
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                if (at(x, y) != at(0, 0))
                    return false;
        return true;
    }
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
    Box box(server, command(server));
    // openbox takes the root window's redirection before it is ready for new windows, and loses
    // the requests of one that comes in between; it adopts the windows already there.
    std::unique_ptr<testsupport::XClient> windowManager;
    if (GetParam().windowManager) {
        box.xdotool({"search", "--sync", "--onlyvisible", "--classname", "qvserverLauncher"});
        windowManager = testsupport::startWindowManager(server, {"openbox"});
    }
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

// A launcher in a directory it may not write to, run as nobody (root ignores mode bits).
class UnwritableDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(chown(home.path().c_str(), 65534, 65534), 0); }

    std::string placeLauncher(const std::string& relative, const std::string& configuration = "") {
        std::string place = directory.file(relative);
        std::filesystem::create_directories(place + "/kbx/config.d");
        testsupport::writeFile(place + "/kbx/config.d/common", configuration);
        testsupport::copyExecutable(installedLauncher, place + "/qvserverLauncher");
        return place + "/qvserverLauncher";
    }
    std::vector<std::string> asNobody(const std::string& launcher,
                                      std::vector<std::string> environment) {
        std::vector<std::string> command{"/usr/bin/setpriv", "--reuid=nobody",
                                         "--regid=nogroup",  "--clear-groups",
                                         "/usr/bin/env",     "HOME=" + home.path()};
        command.insert(command.end(), environment.begin(), environment.end());
        command.push_back(launcher);
        return command;
    }
    static void endAndExpectFailure(Box& box, const std::string& launcher) {
        box.xdotool({"key", "--window", box.window, "Return"});
        EXPECT_EQ(box.process.finish().status, 1);
        auto entries = testsupport::entriesOf(std::filesystem::path(launcher).parent_path());
        EXPECT_EQ(entries, (std::vector<std::string>{"kbx", "qvserverLauncher"}));
    }

    TemporaryDirectory directory;
    TemporaryDirectory home;
};

struct Look {
    int depth;
    bool dark;
};

class MessageBoxLookTest : public UnwritableDirectoryTest,
                           public ::testing::WithParamInterface<Look> {};

TEST_P(MessageBoxLookTest, IconTextAndButtonSitWhereTheLayoutPutsThem) {
    XServer server({.depth = GetParam().depth});
    std::string launcher =
        placeLauncher("a-directory-with-a-rather-long-name-so-that-the-message-has-to-wrap/"
                      "and-one-more-below-it-that-is-just-as-long-as-the-first-one",
                      GetParam().dark ? "DarkMode=1\n" : "");
    Box box(server, asNobody(launcher, {"DISPLAY=" + server.display()}));
    Geometry g = box.geometry();
    WindowPixels pixels(server, g);
    endAndExpectFailure(box, launcher);

    const int tolerance = GetParam().depth == 24 ? 0 : GetParam().depth == 16 ? 8 : 48;
    std::uint32_t background = pixels.at(2, 2);
    std::uint32_t grey = GetParam().dark ? 48 : 216;
    EXPECT_LE(WindowPixels::distance(background, grey * 0x010101), tolerance);
    int ch = g.height - 55;
    Geometry button = pixels.differing({0, ch + 15, g.width, 40}, background, tolerance);
    EXPECT_EQ(button.y, ch + 20);
    EXPECT_EQ(button.height, 25);
    EXPECT_GE(button.width, 66);
    EXPECT_LE(std::abs(button.x + button.width / 2 - g.width / 2), 2);
    Geometry icon = pixels.differing({0, 0, 50, ch + 15}, background, tolerance);
    int iconTop = (ch - 32) / 2 + 10;
    EXPECT_TRUE(icon.x >= 10 && icon.x + icon.width <= 42 && icon.width >= 28) << icon.x;
    EXPECT_TRUE(icon.y >= iconTop && icon.y + icon.height <= iconTop + 32 && icon.height >= 28)
        << icon.y;
    Geometry text = pixels.differing({50, 0, g.width - 50, ch + 15}, background, tolerance);
    EXPECT_GE(text.x, 52);
    EXPECT_LE(text.x + text.width, g.width - 10);
    EXPECT_LE(text.width, 450);
    EXPECT_GT(text.height, 30); // wrapped
}

// At depth 8 the dark greys of the border and the face fall into the background's cell of the
// colour cube, so only the light look is measured there.
INSTANTIATE_TEST_SUITE_P(DepthsAndModes, MessageBoxLookTest,
                         ::testing::Values(Look{24, false}, Look{24, true}, Look{16, false},
                                           Look{16, true}, Look{8, false}),
                         [](const auto& info) {
                             return "Depth" + std::to_string(info.param.depth) +
                                    (info.param.dark ? "Dark" : "Light");
                         });

class MessageBoxScaleTest : public UnwritableDirectoryTest,
                            public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(MessageBoxScaleTest, TheIconIsEightPixelsPerPpmmAndOutOfRangeValuesAreRefused) {
    XServer server;
    std::string launcher =
        placeLauncher("scale", "ppmm=" + std::to_string(GetParam().first) + "\n");
    Box box(server, asNobody(launcher, {"DISPLAY=" + server.display()}));
    Geometry g = box.geometry();
    WindowPixels pixels(server, g);
    endAndExpectFailure(box, launcher);

    int side = GetParam().second;
    Geometry icon = pixels.differing({0, 0, side + 12, g.height - 40}, pixels.at(2, 2), 0);
    // The error icon's circle leaves a transparent margin.
    EXPECT_GE(icon.x, 10);
    EXPECT_LE(icon.x + icon.width, 10 + side);
    EXPECT_GE(icon.width, side * 7 / 8);
}

INSTANTIATE_TEST_SUITE_P(Ppmm, MessageBoxScaleTest,
                         ::testing::Values(std::pair{1, 8}, std::pair{32, 256}, std::pair{0, 32},
                                           std::pair{33, 32}),
                         [](const auto& info) {
                             return "Ppmm" + std::to_string(info.param.first);
                         });

TEST_F(UnwritableDirectoryTest, ABadByteInThePathShowsAsTheReplacementCharacter) {
    XServer server;
    std::vector<std::vector<std::uint32_t>> windows;
    for (const char* name : {"j\xF6rg", "j\xEF\xBF\xBDrg"}) {
        std::string launcher = placeLauncher(name);
        Box box(server, asNobody(launcher, {"DISPLAY=" + server.display()}));
        Geometry g = box.geometry();
        WindowPixels pixels(server, g);
        endAndExpectFailure(box, launcher);
        windows.emplace_back();
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                windows.back().push_back(pixels.at(x, y));
    }
    EXPECT_TRUE(windows[0] == windows[1]);
}

// The report's text is cut to 255 bytes; the cut never splits a character.
TEST_F(UnwritableDirectoryTest, ALongTextIsCutOnACharacterBoundary) {
    std::string word;
    for (int i = 0; i < 120; ++i)
        word += "\xC3\xBC";
    std::string launcher = placeLauncher(word);
    ExitResult result = runToEnd(asNobody(launcher, {"DISPLAY="}));

    EXPECT_EQ(result.status, 1);
    auto at = result.errorOutput.find("TXMsgBox: fileOpenFd(");
    ASSERT_NE(at, std::string::npos) << result.errorOutput;
    std::string line = result.errorOutput.substr(at + 10);
    line = line.substr(0, line.find('\n'));
    EXPECT_EQ(line.size(), 255u);
    EXPECT_TRUE(plat::isValidUtf8(line.c_str()));
}

// Each display that cannot be used takes the fallback: the reason on standard error, exit 1,
// no extracted file.
class BadDisplayTest : public MessageBoxTest,
                       public ::testing::WithParamInterface<std::pair<const char*, std::string>> {};

TEST_P(BadDisplayTest, FallsBackToStandardError) {
    std::vector<std::string> command{"/usr/bin/env"};
    if (GetParam().second == "unset")
        command.insert(command.end(), {"-u", "DISPLAY"});
    else
        command.push_back("DISPLAY=" + GetParam().second);
    command.push_back(launcher);
    ExitResult result = runToEnd(Sandbox::available() ? sandbox.wrap(command) : command);

    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.reported("\nunable to open display \"")) << result.errorOutput;
    EXPECT_TRUE(result.reported("TXMsgBox: execve(")) << result.errorOutput;
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"qvserverLauncher"});
}

INSTANTIATE_TEST_SUITE_P(
    Displays, BadDisplayTest,
    ::testing::Values(std::pair{"Unset", std::string("unset")}, std::pair{"Empty", std::string()},
                      std::pair{"Garbage", std::string("garbage")},
                      std::pair{"FiveKilobytes", std::string(5000, 'x')},
                      std::pair{"BadUtf8", std::string("\xFF\xFE:0")},
                      std::pair{"NoServerOnTheSocket", std::string(":65000")},
                      std::pair{"NoServerOnLoopback", std::string("127.0.0.1:599")}),
    [](const auto& info) { return std::string(info.param.first); });

TEST_F(MessageBoxTest, AServerThatWantsAuthorisationItIsNotGivenTakesTheFallback) {
    TemporaryDirectory authority;
    std::string file = authority.file("Xauthority");
    ASSERT_EQ(runToEnd({"/usr/bin/xauth", "-f", file, "add", ":0", ".",
                        "00112233445566778899aabbccddeeff"})
                  .status,
              0);
    XServer server({.authorityFile = file});
    ExitResult result = runToEnd(command(server, {"XAUTHORITY=" + authority.file("none")}));

    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.reported("\nunable to open display \"" + server.display() + "\""))
        << result.errorOutput;
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"qvserverLauncher"});
}

} // namespace
