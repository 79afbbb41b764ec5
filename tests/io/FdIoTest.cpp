// Descriptor connections: the handler hears of input, and a shutdown finishes the output (within
// LazyFlushTimeout) before the object closes its descriptor and destroys itself, also when the
// manager goes first.
#include "support/ioTestSupport.h"

#include <io/FdIo.h>
#include <io/LazyFlushTimeout.h>
#include <io/PollFdManager.h>

#include <support/RecordingLogDest.h>

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <string>
#include <vector>

namespace {

constexpr int OutputBytes = 1 << 20;

class Handler : public io::IoHandler {
public:
    void ioReady(io::Io& io) override {
        ++ready;
        rdr::InStream& in = *io.inStream();
        while (in.nUnread() > 0 || in.check(1, false)) {
            received.append(reinterpret_cast<const char*>(in.getPtr()), in.nUnread());
            in.advance(in.nUnread());
            in.setCheckpoint();
        }
        if (shutDownOnInput)
            io.shutdown(false, false);
    }
    void ioShutdownComplete(io::Io&) override { ++shutdownsComplete; }

    std::string received;
    int ready = 0;
    int shutdownsComplete = 0;
    bool shutDownOnInput = false;
};

class LazyFlushTimeoutSetting {
public:
    explicit LazyFlushTimeoutSetting(int seconds) { io::lazyFlushTimeout().setParam(seconds, 10); }
    ~LazyFlushTimeoutSetting() { io::lazyFlushTimeout().unset(10, false); }
};

// A connection on the near end with a megabyte of output the far end has not read.
std::unique_ptr<io::FdIo> connectionWithUnreadOutput(iotest::SocketPair& pair, Handler& handler) {
    auto connection = std::make_unique<io::FdIo>(pair.near.release());
    connection->setHandler(&handler, true);
    std::vector<char> data(OutputBytes, 'o');
    connection->outStream()->writeBytes(data.data(), OutputBytes);
    EXPECT_FALSE(connection->outStream()->flush());
    return connection;
}

TEST(FdIo, HandlerHearsOfInputIncludingInputBufferedBeforeItWasSet) {
    io::PollFdManager manager;
    iotest::SocketPair pair = iotest::makeSocketPair();
    io::FdIo connection(pair.near.get(), false);
    ASSERT_EQ(::write(pair.far.get(), "early", 5), 5);
    connection.inStream()->check(1, true);
    Handler handler;
    connection.setHandler(&handler, true);
    ASSERT_TRUE(iotest::serveUntil(manager, [&] { return handler.received == "early"; }));
    ASSERT_EQ(::write(pair.far.get(), " late", 5), 5);
    ASSERT_TRUE(iotest::serveUntil(manager, [&] { return handler.received == "early late"; }));
}

TEST(FdIoShutdown, FlushingShutdownDeliversEverythingThenCloses) {
    io::PollFdManager manager;
    iotest::SocketPair pair = iotest::makeSocketPair(true);
    Handler handler;
    connectionWithUnreadOutput(pair, handler).release()->shutdown(true, true);
    std::string arrived;
    ASSERT_TRUE(iotest::serveUntil(manager, [&] {
        arrived += iotest::readAvailable(pair.far.get());
        return handler.shutdownsComplete == 1;
    }));
    arrived += iotest::readAvailable(pair.far.get());
    EXPECT_EQ(arrived.size(), std::size_t(OutputBytes));
    EXPECT_TRUE(iotest::peerClosed(pair.far.get()));
}

// The handler ends the connection from inside its own callback; the object must outlive the
// call and go afterwards (AddressSanitizer reports either fault).
TEST(FdIoShutdown, ShutdownFromTheHandlersOwnCallbackIsDeferred) {
    io::PollFdManager manager;
    iotest::SocketPair pair = iotest::makeSocketPair();
    Handler handler;
    handler.shutDownOnInput = true;
    auto* connection = new io::FdIo(pair.near.release());
    connection->setHandler(&handler, true);
    ASSERT_EQ(::write(pair.far.get(), "bye", 3), 3);
    EXPECT_TRUE(iotest::serveUntil(manager, [&] { return iotest::peerClosed(pair.far.get()); }));
    EXPECT_EQ(handler.received, "bye");
}

TEST(FdIoShutdown, PeerThatTakesNothingIsClosedAfterLazyFlushTimeout) {
    LazyFlushTimeoutSetting oneSecond(1);
    testsupport::LogRecording log("FdIo", 30);
    io::PollFdManager manager;
    iotest::SocketPair pair = iotest::makeSocketPair();
    Handler handler;
    auto started = std::chrono::steady_clock::now();
    connectionWithUnreadOutput(pair, handler).release()->shutdown(true, false);
    ASSERT_TRUE(iotest::serveUntil(manager, [&] { return iotest::peerClosed(pair.far.get()); }));
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(900));
    ASSERT_EQ(log.messages().size(), 1u) << log.dump();
    EXPECT_EQ(log.messages()[0].level, 30);
    EXPECT_NE(log.messages()[0].text.find("took no output for 1 seconds"), std::string::npos);
}

// The longest time-out does not overflow into an immediate close; the manager's end completes
// the shutdown and tells the handler.
TEST(FdIoShutdown, LongestLazyFlushTimeoutWaitsUntilTheManagerEnds) {
    LazyFlushTimeoutSetting longest(INT_MAX);
    testsupport::LogRecording log("FdIo", 100);
    iotest::SocketPair pair = iotest::makeSocketPair();
    Handler handler;
    {
        io::PollFdManager manager;
        connectionWithUnreadOutput(pair, handler).release()->shutdown(true, true);
        for (int turn = 0; turn < 5; ++turn)
            manager.wait(20);
        EXPECT_FALSE(iotest::peerClosed(pair.far.get()));
        EXPECT_EQ(handler.shutdownsComplete, 0);
    }
    EXPECT_TRUE(iotest::peerClosed(pair.far.get()));
    EXPECT_EQ(handler.shutdownsComplete, 1);
    std::string last = log.messages().back().text;
    EXPECT_EQ(last.rfind("shutdown completed by FdManager dtor ", 0), 0u) << log.dump();
}

} // namespace
