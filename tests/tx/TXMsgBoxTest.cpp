// The message box: its layout arithmetic, the buttons and icon its flags ask for, how keys and
// the window manager end it, a window destroyed by another client, X errors during its loop and
// what the error report does when the box cannot be built.
// gtest first: Xlib's None macro would rewrite a name in its headers.
#include <gtest/gtest.h>

#include <tx/ErrorCatcher.h>
#include <tx/TXMsgBox.h>
#include <tx/TXUtil.h>
#include <tx/XErrorException.h>
#include <tx/msgBoxLayout.h>
#include <tx/reportError.h>

#include "support/TemporaryDirectory.h"
#include "support/XServer.h"
#include "support/fileContents.h"
#include "support/forkedChild.h"
#include "support/inChildProcess.h"

#include <wvw/Style.h>
#include <wvw/WCanvas.h>
#include <wvw/keysyms.h>

#include <X11/keysym.h>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using testsupport::inChildProcess;
using testsupport::XServer;

const tqutil::Font& font() {
    return *wvw::Style::defaultStyle().font;
}

struct LayoutTest : ::testing::Test {
    rfb::Point layOut(const char* text, std::vector<const char*> buttonTexts, bool withIcon) {
        label.setText(text);
        for (const char* buttonText : buttonTexts)
            buttons.push_back(std::make_unique<wvw::WLabelButton>(buttonText, &canvas));
        std::vector<wvw::WLabelButton*> list;
        for (auto& button : buttons)
            list.push_back(button.get());
        if (withIcon)
            canvas.addChild(&icon);
        return tx::layOutMessageBox(canvas, label, withIcon ? &icon : nullptr, list);
    }

    wvw::WCanvas canvas;
    wvw::WLabel label{"", 1, &canvas};
    wvw::WImage icon{"statusError", {32, 32}};
    std::vector<std::unique_ptr<wvw::WLabelButton>> buttons;
};

TEST_F(LayoutTest, IconTextAndButtonRowSitWhereTheBoxPutsThem) {
    rfb::Point size = layOut("Something failed", {"OK"}, true);

    int ch = std::max(font().height(), 32);
    int tw = font().textWidth("Something failed") + 8;
    EXPECT_EQ(canvas.getChildRect(&icon), rfb::Rect::fromXYWH(10, (ch - 32) / 2 + 10, 32, 32));
    EXPECT_EQ(canvas.getChildRect(&label),
              rfb::Rect::fromXYWH(52, (ch - font().height()) / 2 + 10, tw, font().height()));
    int right = 52 + tw;
    EXPECT_EQ(canvas.getChildRect(buttons[0].get()),
              rfb::Rect::fromXYWH((right - 69 - 7) / 2 + 10, ch + 20, 66, 25));
    EXPECT_EQ(size, rfb::Point(right + 10, ch + 55));
}

TEST_F(LayoutTest, WithoutIconTheBoxIsTheTextPlusItsMargins) {
    rfb::Point size = layOut("Short", {"Yes", "No"}, false);

    // Two buttons of 66 and a gap of 3 are wider than the text.
    EXPECT_EQ(label.width(), 135);
    EXPECT_EQ(size, rfb::Point(135 + 20, font().height() + 55));
    EXPECT_EQ(canvas.getChildPosition(buttons[1].get()).x,
              canvas.getChildPosition(buttons[0].get()).x + 69);
}

TEST_F(LayoutTest, LongTextWrapsWithinTheTextWidth) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "word ";
    layOut(text.c_str(), {"OK"}, true);

    EXPECT_GT(label.getLines().size(), 1u);
    EXPECT_LE(label.width(), tx::MsgBoxTextWidth);
    EXPECT_EQ(label.height(), int(label.getLines().size()) * font().height());
}

TEST(MsgBoxIconSize, IsEightPixelsPerPpmmRoundedToNearest) {
    EXPECT_EQ(tx::msgBoxIconSize(1), 8);
    EXPECT_EQ(tx::msgBoxIconSize(4), 32);
    EXPECT_EQ(tx::msgBoxIconSize(32), 256);
}

// A box that, once mapped, acts on itself as a user or another client would.
class ScriptedBox : public tx::TXMsgBox {
public:
    ScriptedBox(const char* text, int flags, std::function<void(ScriptedBox&)> onMap)
        : TXMsgBox(nullptr, text, flags, nullptr), onMap(std::move(onMap)) {}

    void sendKey(KeySym keysym) {
        XEvent event = {};
        event.xkey.type = KeyPress;
        event.xkey.window = win();
        event.xkey.root = tx::TXWindow::root();
        event.xkey.same_screen = True;
        event.xkey.keycode = XKeysymToKeycode(display(), keysym);
        XSendEvent(display(), win(), False, 0, &event);
        event.xkey.type = KeyRelease;
        XSendEvent(display(), win(), False, 0, &event);
    }
    void sendDeleteWindow() {
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = win();
        event.xclient.message_type = tx::atoms::wmProtocols();
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(tx::atoms::wmDeleteWindow());
        XSendEvent(display(), win(), False, 0, &event);
    }

protected:
    void mapChanged() override {
        TXMsgBox::mapChanged();
        if (isMapped() && onMap)
            std::exchange(onMap, nullptr)(*this);
    }

private:
    std::function<void(ScriptedBox&)> onMap;
};

struct Outcome {
    bool result;
    int buttonIndex;
    int buttons;
};

Outcome runBox(int flags, std::function<void(ScriptedBox&)> onMap) {
    ScriptedBox box("Question", flags, std::move(onMap));
    bool result = box.run();
    return {result, box.getButtonIndex(), box.buttonCount()};
}

struct MsgBoxTest : ::testing::Test {
    XServer server;
};

TEST_F(MsgBoxTest, KeysAndTheWindowManagerEndTheBoxAsItsFlagsSay) {
    inChildProcess([&] {
        setenv("DISPLAY", server.display().c_str(), 1);
        tx::TXWindow::init();
        auto press = [](std::vector<KeySym> keys) {
            return [keys](ScriptedBox& box) {
                for (KeySym key : keys)
                    box.sendKey(key);
            };
        };
        Outcome ok = runBox(0x10, press({XK_Escape, XK_a, XK_Return}));
        Outcome yes = runBox(0x14, press({XK_space}));
        Outcome no = runBox(0x14, press({XK_Tab, XK_Return}));
        Outcome last = runBox(0x104 | 0x10, press({XK_Return}));
        Outcome up = runBox(0x4, press({XK_Down, XK_Up, XK_Return}));
        Outcome none = runBox(2, [](ScriptedBox& box) { box.sendDeleteWindow(); });

        EXPECT_TRUE(ok.result && ok.buttonIndex == 0 && ok.buttons == 1);
        EXPECT_TRUE(yes.result && yes.buttonIndex == 0 && yes.buttons == 2);
        EXPECT_TRUE(!no.result && no.buttonIndex == 1);
        EXPECT_TRUE(!last.result && last.buttonIndex == 1);
        EXPECT_TRUE(up.result && up.buttonIndex == 0);
        EXPECT_TRUE(!none.result && none.buttonIndex == -1 && none.buttons == 0);
    });
}

TEST_F(MsgBoxTest, AWindowAnotherClientDestroysCancelsTheBox) {
    inChildProcess([&] {
        setenv("DISPLAY", server.display().c_str(), 1);
        tx::TXWindow::init();
        Outcome destroyed = runBox(0x10, [](ScriptedBox& box) {
            Display* other = XOpenDisplay(nullptr);
            XDestroyWindow(other, box.win());
            XCloseDisplay(other);
        });
        EXPECT_FALSE(destroyed.result);
        EXPECT_EQ(destroyed.buttonIndex, -1);
    });
}

TEST_F(MsgBoxTest, AnXErrorDuringTheLoopEndsTheRunThroughTheCatcher) {
    inChildProcess([&] {
        setenv("DISPLAY", server.display().c_str(), 1);
        tx::TXWindow::init();
        tx::ErrorCatcher catcher(plat::LogSrc::Debug);
        ScriptedBox box("Error", 0x10,
                        [](ScriptedBox& self) { XMapWindow(self.display(), self.win() + 999); });
        EXPECT_THROW(box.run(&catcher), tx::XErrorException);
    });
}

// Without the catch-all, std::bad_alloc reached std::terminate and the launcher's file stayed.
TEST_F(MsgBoxTest, AnAllocationFailureInTheBoxFallsBackToStandardError) {
#if defined(__SANITIZE_ADDRESS__) || (defined(__has_feature) && __has_feature(address_sanitizer))
    GTEST_SKIP() << "address space limits do not work with AddressSanitizer";
#endif
    std::string huge(256 << 20, 'x');
    testsupport::TemporaryDirectory directory;
    std::string errors = directory.file("stderr");
    int status = testsupport::exitStatusOfForkedChild([&] {
        setenv("DISPLAY", server.display().c_str(), 1);
        int file = open(errors.c_str(), O_WRONLY | O_CREAT, 0600);
        dup2(file, 2);
        rlimit limit{};
        getrlimit(RLIMIT_AS, &limit);
        // Room for the display and the box, none for another copy of the text.
        std::FILE* maps = std::fopen("/proc/self/statm", "r");
        long pages = 0;
        if (maps && std::fscanf(maps, "%ld", &pages) == 1)
            limit.rlim_cur = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (128 << 20);
        setrlimit(RLIMIT_AS, &limit);
        tx::reportError(huge.c_str());
        return 7;
    });
    EXPECT_EQ(status, 7) << testsupport::readFile(errors);
    EXPECT_NE(testsupport::readFile(errors).find("std::bad_alloc\n"), std::string::npos)
        << testsupport::readFile(errors);
}

} // namespace
