// Descriptor connections: interest kept in step with the handler and the pending output, lazy
// flushing, and the self-destroying shutdown.
#include <io/FdIo.h>

#include <io/FdManager.h>
#include <io/LazyFlushTimeout.h>
#include <plat/Exception.h>
#include <plat/Log.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>

namespace io {

namespace {

plat::LogSrc fdIoLog("FdIo");

// How often output is retried without write watching.
constexpr int LazyFlushRetryMs = 100;

const char* yesNo(bool value) {
    return value ? "true" : "false";
}

// Timers take at most INT_MAX milliseconds; a longer wait is done in several.
int timerDelay(plat::Ticks remaining) {
    if (remaining <= 0)
        return 0;
    plat::Ticks milliseconds =
        (remaining + plat::TicksPerMillisecond - 1) / plat::TicksPerMillisecond;
    return int(std::min<plat::Ticks>(milliseconds, INT_MAX));
}

} // namespace

// Once the manager has closed the descriptor (closeAllExcept), its number may belong to
// something else: the streams then refuse to touch it.
class FdIo::InputStream : public rdr::FdInStream {
public:
    InputStream(int fd, int bufferSize, const int& liveFd)
        : rdr::FdInStream(fd, bufferSize), liveFd(liveFd) {}
    void setRewindable(bool enabled) { rewindable = enabled; }

protected:
    int readData(std::uint8_t* destination, int length) override {
        if (liveFd < 0)
            throw plat::SystemException("read", EBADF);
        return rdr::FdInStream::readData(destination, length);
    }

private:
    const int& liveFd;
};

class FdIo::OutputStream : public rdr::FdOutStream {
public:
    OutputStream(int fd, int maxBufferSize, const int& liveFd)
        : rdr::FdOutStream(fd, maxBufferSize), liveFd(liveFd) {}

protected:
    int writeData(const std::uint8_t* data, int length, bool wait) override {
        if (liveFd >= 0)
            return rdr::FdOutStream::writeData(data, length, wait);
        if (wait || doesThrowErrors())
            throw plat::SystemException("write", EBADF);
        return 0;
    }

private:
    const int& liveFd;
};

FdIo::FdIo(int descriptor, bool ownDescriptor, bool writeWatch, int inputBufferSize,
           int outputMaxBufferSize, bool makeNonBlocking)
    : FdHandler(-1, ownDescriptor), lazyFlushTimer(this), shutdownTimer(this),
      writeWatch(writeWatch), inputBufferSize(inputBufferSize),
      outputMaxBufferSize(outputMaxBufferSize) {
    if (descriptor >= 0)
        attach(descriptor, ownDescriptor, makeNonBlocking);
}

// The streams go before the descriptor; the output stream writes what it can once more, without
// waiting, as it goes.
FdIo::~FdIo() {
    if (fdMgr)
        fdMgr->add(this, false);
    handler = nullptr;
    lazyFlushTimer.stop();
    shutdownTimer.stop();
    out.reset();
    in.reset();
}

void FdIo::attach(int descriptor, bool ownDescriptor, bool makeNonBlockingNow) {
    PLAT_ASSERT(fd < 0);
    fd = descriptor;
    ownFd = ownDescriptor;
    in = std::make_unique<InputStream>(fd, inputBufferSize, fd);
    out = std::make_unique<OutputStream>(fd, outputMaxBufferSize, fd);
    out->setCallback(this);
    if (makeNonBlockingNow)
        makeNonBlocking();
}

rdr::FdInStream* FdIo::inStream() {
    return in.get();
}

rdr::FdOutStream* FdIo::outStream() {
    return out.get();
}

// Streams without a handler wait for the descriptor themselves; with one, a read or write that
// would wait must fail with EAGAIN instead.
void FdIo::makeNonBlocking() {
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0)
        throw plat::SystemException("setBlocking", errno);
}

void FdIo::updateInterest(bool read, bool write) {
    readInterest = read;
    writeInterest = write;
    fdMgr->setInterest(this, read, write);
}

void FdIo::setHandler(IoHandler* newHandler, bool wantRead) {
    PLAT_ASSERT(in);
    if (newHandler) {
        if (!fdMgr)
            fdMgr = FdManager::current();
        PLAT_ASSERT(fdMgr);
        handler = newHandler;
        makeNonBlocking();
        fdMgr->add(this, true);
        updateInterest(wantRead, writeWatch);
        if (wantRead && (in->nUnread() > 0 || in->timedOut()))
            fdMgr->setPending(this, FdManager::Pending::Read);
        if (!writeWatch)
            fdMgr->setPending(this, FdManager::Pending::Write);
        fdMgr->wake();
    } else {
        if (fdMgr)
            fdMgr->add(this, false);
        readInterest = writeInterest = false;
        handler = nullptr;
        lazyFlushTimer.stop();
    }
    try {
        in->setNonBlocking(newHandler != nullptr);
        out->setLazy(newHandler != nullptr);
    } catch (plat::Exception& e) {
        fdIoLog.error("setHandler: %s", e.message());
    }
}

void FdIo::setInputRewindable(bool rewindable) {
    PLAT_ASSERT(in);
    in->setRewindable(rewindable);
}

void FdIo::shutdown(bool flush, bool tellHandler) {
    fdIoLog.debug("shutdown %p (fd=%d), flush %s (tellHandler %s)", static_cast<void*>(this), fd,
                  yesNo(flush), yesNo(tellHandler));
    state = State::ShuttingDown;
    if (!tellHandler)
        handler = nullptr;
    if (!fdMgr)
        fdMgr = FdManager::current();
    if (!fdMgr) {
        PLAT_ASSERT(!tellHandler);
        if (flush && out) {
            try {
                out->flush();
            } catch (plat::Exception& e) {
                fdIoLog.status("Shutdown error: %s", e.message());
            }
        }
        delete this;
        return;
    }
    fdMgr->add(this, true);
    updateInterest(false, false);
    lazyFlushTimer.stop();
    if (!flush || !out) {
        shutdownTimer.start(0);
        return;
    }
    try {
        makeNonBlocking();
        out->setLazy(true);
    } catch (plat::Exception& e) {
        fdIoLog.debug("shutdown: %s", e.message());
    }
    flushDeadline = plat::monotonicNow() + lazyFlushTimeoutTicks();
    shutdownTimer.start(timerDelay(lazyFlushTimeoutTicks()));
    fdMgr->setPending(this, FdManager::Pending::Write);
    fdMgr->wake();
}

void FdIo::handleRead() {
    if (handler)
        handler->ioReady(*this);
}

void FdIo::handleWrite() {
    if (!out)
        return;
    bool done;
    try {
        done = out->flush();
    } catch (plat::Exception& e) {
        fdIoLog.status("fd %d: %s", fd, e.message());
        if (isShuttingDown())
            finishShutdown();
        else
            updateInterest(readInterest, false);
        return;
    }
    if (!done) {
        retryOutputLater();
        return;
    }
    lazyFlushTimer.stop();
    if (writeInterest)
        updateInterest(readInterest, false);
    if (isShuttingDown())
        finishShutdown();
}

// Called from inside the output stream's write; bytes the peer did not take are retried later.
void FdIo::written(rdr::FdOutStream&, bool wroteNothing) {
    if (!wroteNothing) {
        if (isShuttingDown())
            flushDeadline = plat::monotonicNow() + lazyFlushTimeoutTicks();
        return;
    }
    if (fdMgr && (handler || isShuttingDown()))
        retryOutputLater();
}

void FdIo::retryOutputLater() {
    if (writeWatch) {
        if (!writeInterest)
            updateInterest(readInterest, true);
    } else if (!lazyFlushTimer.isActive()) {
        lazyFlushTimer.start(LazyFlushRetryMs);
    }
}

bool FdIo::timerExpired(plat::Timer* timer) {
    if (timer == &lazyFlushTimer)
        handleWrite();
    else if (!out || !out->bufferedBytes())
        finishShutdown();
    else
        flushTimeoutExpired();
    return false;
}

// The deadline moves on whenever the peer takes some output; the timer catches up with it.
void FdIo::flushTimeoutExpired() {
    plat::Ticks remaining = flushDeadline - plat::monotonicNow();
    if (remaining > 0) {
        shutdownTimer.start(timerDelay(remaining));
        return;
    }
    // A last attempt, so that even a time-out of 0 tries once.
    try {
        if (out->flush()) {
            finishShutdown();
            return;
        }
    } catch (plat::Exception&) {
    }
    fdIoLog.status("fd %d: the peer took no output for %d seconds; closing, %d bytes dropped", fd,
                   lazyFlushTimeout().getValue(), out->bufferedBytes());
    finishShutdown();
}

void FdIo::tellShutdownComplete() {
    IoHandler* told = std::exchange(handler, nullptr);
    if (!told)
        return;
    try {
        told->ioShutdownComplete(*this);
    } catch (plat::Exception& e) {
        fdIoLog.status("Shutdown error: %s", e.message());
    }
}

void FdIo::finishShutdown() {
    tellShutdownComplete();
    delete this;
}

void FdIo::managerGone() {
    fdMgr = nullptr;
    readInterest = writeInterest = false;
    lazyFlushTimer.stop();
    if (!isShuttingDown()) {
        handler = nullptr;
        return;
    }
    tellShutdownComplete();
    fdIoLog.debug("shutdown completed by FdManager dtor %p (fd=%d)", static_cast<void*>(this), fd);
    delete this;
}

} // namespace io
