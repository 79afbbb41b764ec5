// Selections against xclip: the targets and texts a window serves, cut buffer 0, text from
// another client, an oversized (INCR) transfer drained and discarded before a small one, and a
// requestor that is gone before its reply.
// gtest first: Xlib's None macro would rewrite a name in its headers.
#include <gtest/gtest.h>

#include <tx/TXUtil.h>
#include <tx/TXWindow.h>

#include "support/RecordingLogDest.h"
#include "support/XServer.h"
#include "support/inChildProcess.h"
#include "support/xEvents.h"

#include <X11/Xatom.h>

#include <chrono>
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using testsupport::inChildProcess;
using testsupport::XClient;
using testsupport::XServer;
using tx::TXWindow;
using txtest::serveEventsUntilEnded;

const std::string Text = "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC";
const std::string TextInLatin1 = "Gr\xFC\xDF\x65 \x80";

struct Paste {
    int status;
    std::string output;
};

// Runs xclip -o while the window serves its requests.
Paste paste(const XServer& server, const char* selection, const char* target) {
    XClient client(server, {"xclip", "-o", "-selection", selection, "-t", target});
    int status = serveEventsUntilEnded(client);
    return {status, client.output()};
}

// Waits until another client owns the selection or, with nobody, until no client does. No core
// event tells of a new owner, so each look is a round trip to the server.
bool waitForOwner(Atom selection, bool nobody = false) {
    auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(testsupport::XDeadlineMs);
    while (std::chrono::steady_clock::now() < deadline) {
        Window owner = XGetSelectionOwner(TXWindow::display(), selection);
        if (nobody ? owner == None : owner != None && !TXWindow::find(owner))
            return true;
    }
    return false;
}

TEST(TXWindowSelectionTest, ServesExactlyItsTargetsAndTextsAndFillsCutBufferZero) {
    XServer server;
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        TXWindow owner(10, 10);
        Time now = TXWindow::getServerTime();
        EXPECT_NE(now, 0u);
        owner.setSelection(Text.size(), Text.c_str(), now);
        EXPECT_TRUE(owner.ownsSelection(XA_PRIMARY));
        EXPECT_TRUE(owner.ownsSelection(tx::atoms::clipboard()));

        Paste targets = paste(server, "clipboard", "TARGETS");
        EXPECT_EQ(targets.status, 0);
        EXPECT_EQ(targets.output, "TIMESTAMP\nUTF8_STRING\nSTRING\n");
        EXPECT_EQ(paste(server, "primary", "UTF8_STRING").output, Text);
        EXPECT_EQ(paste(server, "clipboard", "STRING").output, TextInLatin1);
        EXPECT_NE(paste(server, "clipboard", "image/png").status, 0) << "refused";

        int length = 0;
        char* cutBuffer = XFetchBytes(TXWindow::display(), &length);
        EXPECT_EQ(std::string(cutBuffer ? cutBuffer : "", std::size_t(length)), TextInLatin1);
        XFree(cutBuffer);

        Display* display = TXWindow::display();
        unsigned long before = NextRequest(display);
        ASSERT_NE(owner.getSelection(XA_PRIMARY), nullptr);
        EXPECT_EQ(owner.getSelection(XA_PRIMARY), Text);
        EXPECT_EQ(NextRequest(display), before) << "our own selection needs no round trip";
    });
}

TEST(TXWindowSelectionTest, AnOversizedTransferIsDrainedAndTheNextTextArrives) {
    XServer server;
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        TXWindow requestor(10, 10);
        testsupport::LogRecording log("TXWindow", 100);
        Atom clipboard = tx::atoms::clipboard();

        XClient large(server, {"xclip", "-i", "-quiet", "-loops", "1", "-selection", "clipboard"},
                      std::string(5 << 20, 'x'));
        ASSERT_TRUE(waitForOwner(clipboard));
        const char* text = requestor.getSelection(clipboard);
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, "");

        EXPECT_EQ(log.levelOf("Ignoring large selection - replacing with empty string"), 30);
        EXPECT_EQ(serveEventsUntilEnded(large), 0) << "the owner finished its transfer";
        // Its window id comes back with the next client, so its ownership must be seen to end.
        ASSERT_TRUE(waitForOwner(clipboard, true));

        XClient small(server, {"xclip", "-i", "-quiet", "-loops", "1", "-selection", "clipboard"},
                      Text);
        ASSERT_TRUE(waitForOwner(clipboard));
        text = requestor.getSelection(clipboard);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text, Text);
        EXPECT_EQ(serveEventsUntilEnded(small), 0);
    });
}

// Another client that answers each of two requests with 32-bit numbers instead of text.
void serveNumbersTwice(const XServer& server, int readyDescriptor) {
    Display* display = XOpenDisplay(server.display().c_str());
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, XA_PRIMARY, window, CurrentTime);
    XSync(display, False);
    char ready = 1;
    write(readyDescriptor, &ready, 1);
    for (int answered = 0; answered < 2;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != SelectionRequest)
            continue;
        const XSelectionRequestEvent& request = event.xselectionrequest;
        long numbers[2] = {1, 2};
        XChangeProperty(display, request.requestor, request.property, XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<unsigned char*>(numbers), 2);
        XEvent reply = {};
        reply.xselection = {SelectionNotify,
                            0,
                            True,
                            display,
                            request.requestor,
                            request.selection,
                            request.target,
                            request.property,
                            request.time};
        XSendEvent(display, request.requestor, False, 0, &reply);
        XSync(display, False);
        answered++;
    }
    XCloseDisplay(display);
}

TEST(TXWindowSelectionTest, RepliesThatAreNotTextGiveEmptyTextAndAreDeleted) {
    XServer server;
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        TXWindow requestor(10, 10);
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        pid_t owner = fork();
        if (owner == 0) {
            serveNumbersTwice(server, ready[1]);
            _exit(0);
        }
        char byte;
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        const char* text = requestor.getSelection(XA_PRIMARY);
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, "");
        Atom type = None;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        XGetWindowProperty(TXWindow::display(), requestor.win(), tx::atoms::selectionString(), 0, 1,
                           False, AnyPropertyType, &type, &format, &items, &after, &data);
        EXPECT_EQ(type, Atom(None)) << "deleted";
        int status = -1;
        waitpid(owner, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "both targets were asked";
        close(ready[0]);
        close(ready[1]);
    });
}

TEST(TXWindowSelectionTest, AReplyToAVanishedRequestorIsOnlyLogged) {
    XServer server;
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        TXWindow owner(10, 10);
        owner.setSelection(Text.size(), Text.c_str(), TXWindow::getServerTime());
        testsupport::LogRecording log("*");

        XClient vanishing(server, {"xclip", "-o", "-selection", "clipboard"});
        XEvent request;
        ASSERT_TRUE(tx::waitForWindowEvent(owner.win(), SelectionRequest, testsupport::XDeadlineMs,
                                           request));
        Window requestor = request.xselectionrequest.requestor;
        XSelectInput(TXWindow::display(), requestor, StructureNotifyMask);
        XSync(TXWindow::display(), False);
        vanishing.kill();
        XEvent destroyed;
        ASSERT_TRUE(
            tx::waitForWindowEvent(requestor, DestroyNotify, testsupport::XDeadlineMs, destroyed));

        TXWindow::handleXEvent(request);
        EXPECT_EQ(log.levelOf("X Error: BadWindow (invalid Window parameter) (3)"), 100)
            << log.dump();
        EXPECT_EQ(paste(server, "clipboard", "UTF8_STRING").output, Text) << "still serving";
    });
}

} // namespace
