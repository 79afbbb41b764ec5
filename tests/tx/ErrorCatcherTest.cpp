// Catching X errors in a scope: recorded in the innermost catcher, logged at its level, thrown by
// check, and the message of an X error within the exception's capacity.
// gtest first: Xlib's None macro would rewrite a name in its headers.
#include <gtest/gtest.h>

#include <tx/ErrorCatcher.h>
#include <tx/TXWindow.h>
#include <tx/XErrorException.h>

#include "support/RecordingLogDest.h"
#include "support/XServer.h"
#include "support/inChildProcess.h"
#include "support/raisedBy.h"

#include <plat/utf8.h>

#include <cstring>
#include <string>

namespace {

using testsupport::inChildProcess;
using tx::ErrorCatcher;
using tx::TXWindow;

constexpr const char* BadWindowText = "BadWindow (invalid Window parameter) (3)";

// The levels of the X error lines, in order.
std::vector<int> errorLevels(const testsupport::RecordingLogDest& log) {
    std::vector<int> levels;
    for (const auto& message : log.messages()) {
        if (message.text.find("X Error") != std::string::npos)
            levels.push_back(message.level);
    }
    return levels;
}

void destroyMissingWindow() {
    XDestroyWindow(TXWindow::display(), 0x1fffffe);
}

TEST(ErrorCatcherTest, CheckThrowsTheCaughtErrorThatWasLoggedAtTheCatchersLevel) {
    testsupport::XServer server;
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        testsupport::LogRecording log("*");
        ErrorCatcher catcher(30);
        destroyMissingWindow();
        testsupport::Raised raised;
        try {
            catcher.check("Destroying");
        } catch (const tx::XErrorException& failure) {
            raised = {failure.message(), failure.typeText()};
            EXPECT_EQ(failure.errorCode(), BadWindow);
        }
        EXPECT_EQ(raised.message, std::string("Destroying: ") + BadWindowText);
        EXPECT_EQ(raised.type, "XError");
        EXPECT_EQ(log.levelOf(std::string("X Error: ") + BadWindowText), 30) << log.dump();
        EXPECT_EQ(errorLevels(log), std::vector<int>{30}) << log.dump();
    });
}

TEST(ErrorCatcherTest, TheInnermostCatcherTakesOnlyTheErrorsOfItsScope) {
    testsupport::XServer server;
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        testsupport::LogRecording log("*");
        destroyMissingWindow();
        ErrorCatcher outer(100);
        EXPECT_EQ(outer.errorCode(), 0) << "an earlier error is not this scope's";
        {
            ErrorCatcher inner(100);
            destroyMissingWindow();
        }
        EXPECT_EQ(outer.errorCode(), 0);
        EXPECT_NO_THROW(outer.check("nothing"));
        destroyMissingWindow();
        XSync(TXWindow::display(), False);
        EXPECT_EQ(outer.errorCode(), BadWindow);
        EXPECT_EQ(errorLevels(log), (std::vector<int>{0, 100, 100})) << log.dump();
    });
}

TEST(ErrorCatcherTest, XErrorTextsStartWithTheServersTextAndAlwaysKeepTheCode) {
    testsupport::XServer server;
    inChildProcess([&] {
        TXWindow::init(server.display().c_str());
        EXPECT_STREQ(tx::XErrorException("", BadWindow).message(), BadWindowText);
        std::string longText;
        for (int i = 0; i < 200; i++)
            longText += "\xC3\xA4";
        tx::XErrorException failure(longText.c_str(), BadWindow);
        std::string message = failure.message();
        EXPECT_LT(message.size(), tx::XErrorException::MessageCapacity);
        EXPECT_EQ(message.substr(message.size() - 4), " (3)");
        EXPECT_TRUE(plat::isValidUtf8(message.c_str()));
    });
}

} // namespace
