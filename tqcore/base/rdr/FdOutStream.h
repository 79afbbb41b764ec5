// An output stream writing a POSIX descriptor (pipe or socket), optionally lazy, with a callback
// told about every write attempt and about shutdown requests.
#pragma once

#include <rdr/BufferedOutStream.h>

namespace rdr {

class FdOutStream : public BufferedLazyOutStream {
public:
    class Callback {
    public:
        virtual ~Callback() = default;
        // After every write attempt; wroteNothing when the descriptor accepted no byte.
        virtual void written(FdOutStream& stream, bool wroteNothing) = 0;
        virtual void shutdownRequested(FdOutStream& stream) = 0;
    };

    // A negative maximum means MaxOutBufferSize. The descriptor is owned only when ownFd is set.
    explicit FdOutStream(int fd, int maxBufferSize = -1, bool ownFd = false);
    // Drops the callback, flushes once without waiting and closes an owned descriptor.
    ~FdOutStream() override;

    int getFd() const { return fd; }
    // Not owned; may be null.
    void setCallback(Callback* newCallback) { callback = newCallback; }
    // Shuts down the writing direction at once when nothing is pending; otherwise leaves the
    // socket open for now. The callback hears of the request either way.
    bool shutdown() override;

protected:
    int writeData(const std::uint8_t* data, int length, bool wait) override;

private:
    void notify(bool wroteNothing);

    int fd;
    bool ownFd;
    Callback* callback = nullptr;
};

} // namespace rdr
