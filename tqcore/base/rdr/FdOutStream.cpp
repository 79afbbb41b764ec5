// Writing descriptors: interruptions, would-block, write time-outs and error reporting.
#include <rdr/FdOutStream.h>

#include <rdr/waitForDescriptor.h>

#include <plat/Exception.h>
#include <plat/Log.h>

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace rdr {

namespace {

plat::LogSrc fdOutStreamLog("FdOutStream");

constexpr int OutputBufferSize = 16384;

} // namespace

FdOutStream::FdOutStream(int fd, int maxBufferSize, bool ownFd)
    : BufferedLazyOutStream(OutputBufferSize, maxBufferSize), fd(fd), ownFd(ownFd) {}

FdOutStream::~FdOutStream() {
    callback = nullptr;
    try {
        tryFlush(false);
    } catch (plat::Exception&) {
    }
    if (ownFd && fd >= 0)
        ::close(fd);
}

void FdOutStream::notify(bool wroteNothing) {
    if (callback)
        callback->written(*this, wroteNothing);
}

int FdOutStream::writeData(const std::uint8_t* data, int length, bool wait) {
    for (;;) {
        ssize_t count = ::write(fd, data, std::size_t(length));
        if (count >= 0) {
            notify(count == 0);
            return int(count);
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!wait) {
                notify(true);
                return 0;
            }
            // A caller that waits cannot go on without the bytes, so the expiry is raised even
            // on a stream that reports errors by return value.
            if (!waitForDescriptor(fd, true, writeTimeout()))
                throw plat::TimedOut("Timed out");
            continue;
        }
        plat::SystemException failure("write", errno);
        if (doesThrowErrors() || wait)
            throw failure;
        fdOutStreamLog.debug("%s", failure.message());
        return 0;
    }
}

bool FdOutStream::shutdown() {
    if (bufferedBytes() == 0 && ::shutdown(fd, SHUT_WR) != 0)
        throw plat::SystemException("shutdown(SHUT_WR)", errno);
    if (callback)
        callback->shutdownRequested(*this);
    return true;
}

} // namespace rdr
