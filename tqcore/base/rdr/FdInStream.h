// An input stream reading a POSIX descriptor (pipe or socket), with an optional read time-out
// and a non-blocking mode in which a read that would wait reports "no data now" instead.
#pragma once

#include <rdr/BufferedInStream.h>

namespace rdr {

class FdInStream : public BufferedNonBlockableInStream {
public:
    // A negative buffer size means 16800. The descriptor is not owned.
    explicit FdInStream(int fd, int bufferSize = -1);
    // Takes over the other stream's buffer, settings and descriptor; the other is left without
    // a descriptor.
    FdInStream(FdInStream&& other) noexcept;
    ~FdInStream() override;

    int getFd() const { return fd; }
    // Milliseconds a read may wait for data; -1 waits for ever. Once a read has timed out,
    // every later read fails at once with plat::TimedOut.
    void setTimeout(int milliseconds) { timeoutMs = milliseconds; }
    int timeout() const { return timeoutMs; }
    bool timedOut() const { return timedOutFlag; }

protected:
    // Raises EndOfStream "End of IO stream" when the peer has closed its end.
    int readData(std::uint8_t* destination, int length) override;

    bool ownFd = false;

private:
    bool descriptorBlocks() const;
    [[noreturn]] void timeOut();

    std::int32_t timeoutMs = -1;
    int fd;
    bool timedOutFlag = false;
};

// Owns its descriptor: the destructor closes it.
class FdInStreamOwn : public FdInStream {
public:
    explicit FdInStreamOwn(int fd, int bufferSize = -1) : FdInStream(fd, bufferSize) {
        ownFd = true;
    }
};

} // namespace rdr
