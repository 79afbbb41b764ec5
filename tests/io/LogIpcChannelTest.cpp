// The IPC log destination over message IPC: a child's queued messages reach its parent once the
// parent announces its level, hostile lengths are refused before anything is allocated, and a
// parent that never reads ends the channel instead of blocking the logging child.
#include "support/ioTestSupport.h"

#include <io/FdIo.h>
#include <io/LogIpcChannel.h>
#include <io/LogMsgReader.h>
#include <io/PollFdManager.h>
#include <plat/Log.h>

#include <gtest/gtest.h>

#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

plat::LogSrc childLog("IpcChild");
plat::LogSrc floodLog("IpcFlood");

struct Received {
    int level;
    std::string source;
    std::string text;
};

class Events : public io::MsgIpc::Callback, public io::LogMsgReader::Callback {
public:
    void disconnected(io::MsgIpc&) override { ended = true; }
    void error(io::MsgIpc&, const plat::Exception& e) override { errors.push_back(e.message()); }
    void logMessage(int level, const char* source, const char* text) override {
        messages.push_back({level, source, text});
    }

    std::vector<Received> messages;
    std::vector<std::string> errors;
    bool ended = false;
};

std::unique_ptr<io::FdIo> connection(plat::UniqueFd& end, int outputMaxBufferSize = -1) {
    return std::make_unique<io::FdIo>(end.release(), true, true, -1, outputMaxBufferSize);
}

// Logs before its parent's level can arrive, so that the queue overflows, then serves the
// channel until the parent hangs up.
int logToParent(plat::UniqueFd end) {
    io::PollFdManager manager;
    Events events;
    io::MsgIpc ipc(&events, "child", false);
    ipc.setConnection(connection(end));
    io::LogIpcChannel channel(ipc);
    plat::setLogOverride("IpcChild:ipc:100");
    // 3000 bytes whose 1024th byte starts a two-byte character.
    std::string text = "a";
    for (int i = 0; i < 1499; ++i)
        text += "\u00e9";
    childLog.status("%s", (text + "a").c_str());
    for (int i = 1; i < 1200; ++i)
        childLog.write(i % 2 ? 30 : 100, "message %d", i);
    return iotest::serveUntil(manager, [&] { return events.ended; }) ? 0 : 1;
}

TEST(LogIpcChannel, ChildsQueuedMessagesReachTheParentInOrderWithTheMarker) {
    iotest::SocketPair pair = iotest::makeSocketPair();
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        pair.near.reset();
        ::_exit(logToParent(std::move(pair.far)));
    }
    pair.far.reset();
    {
        io::PollFdManager manager;
        Events events;
        io::MsgIpc ipc(&events, "parent", false);
        ipc.setConnection(connection(pair.near));
        io::LogMsgReader reader(ipc, &events);
        reader.requestLevel(100);
        EXPECT_TRUE(iotest::serveUntil(manager, [&] { return events.messages.size() >= 1001; }));
        manager.wait(50);
        ASSERT_EQ(events.messages.size(), 1001u);
        std::string cut = events.messages[0].text;
        EXPECT_EQ(cut.size(), 1023u) << "1024 bytes would split a character";
        EXPECT_EQ(cut.substr(cut.size() - 2), "\u00e9");
        EXPECT_EQ(events.messages[0].source, "IpcChild");
        EXPECT_EQ(events.messages[998].text, "message 998");
        EXPECT_EQ(events.messages[999].text, "message 999");
        EXPECT_EQ(events.messages[998].level, 100);
        EXPECT_EQ(events.messages[999].level, 30);
        const Received& marker = events.messages[1000];
        EXPECT_EQ(marker.level, 0);
        EXPECT_EQ(marker.source, "LogDestIpc");
        EXPECT_EQ(marker.text, "Too many messages, discarding further ones");
        EXPECT_TRUE(events.errors.empty());
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Every message wakes the sending thread: none of the wake-ups may be read twice or pile up.
TEST(LogIpcChannel, MessagesLoggedOneByOneAfterTheLevelIsKnownAllArrive) {
    io::PollFdManager manager;
    iotest::SocketPair pair = iotest::makeSocketPair();
    Events childEvents;
    io::MsgIpc child(&childEvents, "child", false);
    child.setConnection(connection(pair.near));
    io::LogIpcChannel channel(child);
    Events parentEvents;
    io::MsgIpc parent(&parentEvents, "parent", false);
    parent.setConnection(connection(pair.far));
    io::LogMsgReader reader(parent, &parentEvents);
    plat::setLogOverride("IpcFlood:ipc:100");
    reader.requestLevel(100);
    ASSERT_TRUE(iotest::serveUntil(manager, [] { return plat::LogDestIpc::instance().isReady(); }));
    for (int i = 0; i < 6000; ++i) {
        floodLog.status("message %d", i);
        manager.wait(0);
    }
    EXPECT_TRUE(iotest::serveUntil(manager, [&] { return parentEvents.messages.size() == 6000; }));
    EXPECT_EQ(parentEvents.messages.back().text, "message 5999");
    plat::setLogOverride(nullptr);
}

TEST(LogIpcChannel, ParentRefusesLengthsBeyondTheLimitsWithoutAllocating) {
    const std::string payloads[] = {
        iotest::u32(30) + iotest::u32(0xFFFFFFFF),
        iotest::u32(30) + iotest::string32("src") + iotest::u32(1025) + std::string(1025, 't'),
    };
    for (const std::string& payload : payloads) {
        io::PollFdManager manager;
        iotest::SocketPair pair = iotest::makeSocketPair();
        Events events;
        io::MsgIpc ipc(&events, "parent", false);
        ipc.setConnection(connection(pair.near));
        io::LogMsgReader reader(ipc, &events);
        iotest::writeAll(pair.far.get(), iotest::message("logMsg", payload));
        ASSERT_TRUE(iotest::serveUntil(manager, [&] { return events.ended; }));
        EXPECT_EQ(events.errors, std::vector<std::string>{"String exceeds maximum length"});
        EXPECT_TRUE(events.messages.empty());
    }
}

TEST(LogIpcChannel, ParentThatNeverReadsEndsTheChannelWithAnErrorAndLoggingGoesOn) {
    io::PollFdManager manager;
    iotest::SocketPair pair = iotest::makeSocketPair();
    Events events;
    io::MsgIpc ipc(&events, "child", false);
    ipc.setConnection(connection(pair.near, 16384));
    io::LogIpcChannel channel(ipc);
    plat::setLogOverride("IpcFlood:ipc:100");
    iotest::writeAll(pair.far.get(), iotest::message("setLogLevel", iotest::u32(100)));
    ASSERT_TRUE(iotest::serveUntil(manager, [] { return plat::LogDestIpc::instance().isReady(); }));
    const std::string line(1000, 'f');
    EXPECT_TRUE(iotest::serveUntil(manager, [&] {
        for (int i = 0; i < 50; ++i)
            floodLog.status("%s", line.c_str());
        return events.ended;
    }));
    EXPECT_EQ(events.errors,
              std::vector<std::string>{"LogIpcChannel: the parent reads no log messages"});
    floodLog.status("still logging");
    plat::setLogOverride(nullptr);
}

} // namespace
