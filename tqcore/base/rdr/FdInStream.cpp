// Reading descriptors: end of stream, interruptions, would-block and time-outs.
#include <rdr/FdInStream.h>

#include <rdr/Exception.h>
#include <rdr/waitForDescriptor.h>

#include <plat/Exception.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace rdr {

FdInStream::FdInStream(int fd, int bufferSize) : BufferedNonBlockableInStream(bufferSize), fd(fd) {}

FdInStream::FdInStream(FdInStream&& other) noexcept
    : BufferedNonBlockableInStream(std::move(other)), ownFd(other.ownFd),
      timeoutMs(other.timeoutMs), fd(std::exchange(other.fd, -1)),
      timedOutFlag(other.timedOutFlag) {}

FdInStream::~FdInStream() {
    if (ownFd && fd >= 0)
        ::close(fd);
}

bool FdInStream::descriptorBlocks() const {
    int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && !(flags & O_NONBLOCK);
}

void FdInStream::timeOut() {
    timedOutFlag = true;
    throw plat::TimedOut("Timed out");
}

int FdInStream::readData(std::uint8_t* destination, int length) {
    if (timedOutFlag)
        throw plat::TimedOut("Timed out");
    // A blocking descriptor never reports EAGAIN: without waiting first, the time-out would
    // never apply.
    if (timeoutMs >= 0 && !isNonBlocking() && descriptorBlocks() &&
        !waitForDescriptor(fd, false, timeoutMs))
        timeOut();
    for (;;) {
        ssize_t count = ::read(fd, destination, std::size_t(length));
        if (count > 0)
            return int(count);
        if (count == 0)
            throw EndOfStream("End of IO stream");
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            throw plat::SystemException("read", errno);
        if (isNonBlocking())
            return 0;
        if (!waitForDescriptor(fd, false, timeoutMs))
            timeOut();
    }
}

} // namespace rdr
