// A byte connection over one descriptor: buffered streams that do not block while a handler is
// set, output written as the peer takes it, and a shutdown that finishes the output (bounded by
// LazyFlushTimeout) before the object closes the descriptor and destroys itself.
#pragma once

#include <io/FdHandler.h>
#include <io/Io.h>
#include <plat/Time.h>
#include <plat/Timer.h>
#include <rdr/FdInStream.h>
#include <rdr/FdOutStream.h>

#include <memory>

namespace io {

class FdManager;

class FdIo : public Io,
             private plat::Timer::Callback,
             private rdr::FdOutStream::Callback,
             private FdHandler {
public:
    // A negative descriptor makes an object without one (attach() gives it one). writeWatch:
    // output the peer did not take is written when poll reports the descriptor writable;
    // without it, a timer retries. Negative sizes take the streams' defaults.
    explicit FdIo(int descriptor, bool ownDescriptor = true, bool writeWatch = true,
                  int inputBufferSize = -1, int outputMaxBufferSize = -1,
                  bool makeNonBlocking = true);
    ~FdIo() override;

    // Takes a descriptor; the object must have none.
    void attach(int descriptor, bool ownDescriptor, bool makeNonBlocking);

    using FdHandler::getFd;
    rdr::FdInStream* inStream() override;
    rdr::FdOutStream* outStream() override;
    void setHandler(IoHandler* handler, bool readInterest) override;
    void setInputRewindable(bool rewindable) override;
    void shutdown(bool flush, bool tellHandler) override;
    bool isShuttingDown() const { return state == State::ShuttingDown; }

private:
    enum class State { Open, ShuttingDown };
    class InputStream;
    class OutputStream;

    void handleRead() override;
    void handleWrite() override;
    void managerGone() override;
    bool timerExpired(plat::Timer* timer) override;
    void written(rdr::FdOutStream& stream, bool wroteNothing) override;
    void shutdownRequested(rdr::FdOutStream&) override {}

    void makeNonBlocking();
    void updateInterest(bool read, bool write);
    void retryOutputLater();
    void flushTimeoutExpired();
    void finishShutdown();
    void tellShutdownComplete();

    std::unique_ptr<InputStream> in;
    std::unique_ptr<OutputStream> out;
    IoHandler* handler = nullptr;
    FdManager* fdMgr = nullptr;
    bool readInterest = false;
    bool writeInterest = false;
    State state = State::Open;
    plat::Timer lazyFlushTimer;
    plat::Timer shutdownTimer;
    bool writeWatch;
    int inputBufferSize;
    int outputMaxBufferSize;
    // While a shutdown flushes: when the output is given up unless the peer takes some.
    plat::Ticks flushDeadline = 0;
};

} // namespace io
