// Pop-ups on a real screen, driven by xdotool: the selectable label's edit menu moved onto the
// screen, chosen with the pointer and with keys, closed by Escape, hidden with its grab released
// before its choice destroys the label; and a tooltip where the pointer rests.
// gtest first: Xlib's None macro would rewrite a name in its headers.
#include <gtest/gtest.h>

#include <tx/TXWParent.h>

#include "support/XServer.h"
#include "support/inChildProcess.h"
#include "support/xEvents.h"

#include <wvw/WCanvas.h>
#include <wvw/WLabel.h>

#include <plat/Timer.h>

#include <memory>
#include <string>

namespace {

using testsupport::inChildProcess;
using testsupport::XServer;
using tx::TXWindow;
using txtest::serveEventsUntil;

// Our override-redirect windows on the screen; nothing else runs on the test's server.
std::vector<rfb::Rect> shownPopups() {
    Display* display = TXWindow::display();
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, TXWindow::root(), &root, &parent, &children, &count);
    std::vector<rfb::Rect> shown;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.override_redirect && attributes.map_state == IsViewable)
            shown.push_back(rfb::Rect::fromXYWH(attributes.x, attributes.y, attributes.width,
                                                attributes.height));
    }
    XFree(children);
    return shown;
}

bool anotherClientCanGrab() {
    Display* other = XOpenDisplay(nullptr);
    Window root = DefaultRootWindow(other);
    bool pointer = XGrabPointer(other, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync,
                                None, None, CurrentTime) == GrabSuccess;
    bool keyboard =
        XGrabKeyboard(other, root, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
    XCloseDisplay(other);
    return pointer && keyboard;
}

struct Choice {
    int action = 0;
    bool grabFree = false;
};

// A label whose edit action destroys it, as a callback that closes its dialog would.
class DisposableLabel : public wvw::WLabel {
public:
    DisposableLabel(std::unique_ptr<DisposableLabel>& owner, Choice& choice, wvw::WLayout* layout)
        : WLabel("Some text", 0, layout), owner(owner), choice(choice) {
        setSelectable(true);
    }
    void editAction(int action) override {
        choice = {action, anotherClientCanGrab()};
        owner.reset();
    }

private:
    std::unique_ptr<DisposableLabel>& owner;
    Choice& choice;
};

// A window of 200 x 40 at a screen position, its label filling it.
struct Host {
    Host(rfb::Point at, wvw::Widget& label) : label(label) {
        canvas.addChild(&label, {0, 0, 200, 40});
        window.setPosition(at.x, at.y);
        window.resize(200, 40);
        window.show(true);
        EXPECT_TRUE(serveEventsUntil([&] { return label.isAttached(); }));
    }

    wvw::Widget& label;
    wvw::WCanvas canvas;
    tx::TXWParent window{&canvas, nullptr, false};
};

struct PopupTest : ::testing::Test {
    void xdotool(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "xdotool");
        EXPECT_EQ(testsupport::runXClient(server, arguments).status, 0);
    }
    void clickAt(rfb::Point at, int button) {
        xdotool({"mousemove", std::to_string(at.x), std::to_string(at.y), "click",
                 std::to_string(button)});
    }
    rfb::Rect openMenu(rfb::Point at) {
        clickAt(at, 3);
        EXPECT_TRUE(serveEventsUntil([] { return shownPopups().size() == 1; }));
        return shownPopups().empty() ? rfb::Rect() : shownPopups()[0];
    }
    template <typename Body>
    void onScreen(Body body) {
        inChildProcess([&] {
            setenv("DISPLAY", server.display().c_str(), 1);
            TXWindow::init();
            plat::TimerManager timers;
            body();
        });
    }

    XServer server;
};

TEST_F(PopupTest, TheEditMenuLiesOnTheScreenAndIsGoneWithItsGrabBeforeItsChoiceDestroysTheLabel) {
    onScreen([&] {
        Choice choice;
        std::unique_ptr<DisposableLabel> label;
        label = std::make_unique<DisposableLabel>(label, choice, nullptr);
        Host host({1080, 984}, *label);

        rfb::Rect menu = openMenu({1270, 1015});
        EXPECT_EQ(menu.br, rfb::Point(1280, 1024));
        // The second of two items: Select All.
        clickAt({menu.tl.x + menu.width() / 2, menu.tl.y + menu.height() * 3 / 4}, 1);
        ASSERT_TRUE(serveEventsUntil([&] { return !label; }));

        EXPECT_EQ(choice.action, 4);
        EXPECT_TRUE(choice.grabFree);
        EXPECT_TRUE(shownPopups().empty());
    });
}

TEST_F(PopupTest, EscapeClosesTheEditMenuAndItsKeysSelectAndCopy) {
    onScreen([&] {
        wvw::WLabel label("Some text");
        label.setSelectable(true);
        Host host({100, 100}, label);

        openMenu({150, 120});
        xdotool({"key", "Escape"});
        ASSERT_TRUE(serveEventsUntil([] { return shownPopups().empty(); }));
        EXPECT_EQ(label.getSelectionLength(), 0);

        openMenu({150, 120});
        xdotool({"key", "Up", "Return"});
        ASSERT_TRUE(serveEventsUntil([] { return shownPopups().empty(); }));
        EXPECT_EQ(label.getSelectionLength(), 9);

        openMenu({150, 120});
        xdotool({"key", "c"});
        ASSERT_TRUE(serveEventsUntil([] { return shownPopups().empty(); }));
        testsupport::XClient clipboard(server, {"xclip", "-o", "-selection", "clipboard"});
        EXPECT_EQ(txtest::serveEventsUntilEnded(clipboard), 0);
        EXPECT_EQ(clipboard.output(), "Some text");
    });
}

TEST_F(PopupTest, ATooltipShowsBesideTheRestingPointerInsideTheScreenAndGoesWithAClick) {
    onScreen([&] {
        wvw::WLabel label("Tipped");
        label.setTooltip("A tooltip near the right edge of the screen");
        Host host({1080, 100}, label);

        xdotool({"mousemove", "1270", "110"});
        ASSERT_TRUE(serveEventsUntil([] { return shownPopups().size() == 1; }));
        rfb::Rect tip = shownPopups()[0];
        EXPECT_EQ(tip.br.x, 1080 - 2);
        EXPECT_EQ(tip.tl.y, 110 + 16);

        xdotool({"click", "1"});
        EXPECT_TRUE(serveEventsUntil([] { return shownPopups().empty(); }));
    });
}

} // namespace
