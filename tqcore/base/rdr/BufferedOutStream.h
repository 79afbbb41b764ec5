// Output streams that collect bytes in a growable heap buffer and hand them to a destination
// through a subclass's writeData(). The buffer grows by doubling up to a maximum (by default
// MaxOutBufferSize); the window never offers more than 16384 free bytes at a time, so that
// pending data is offered to the destination at least that often.
#pragma once

#include <rdr/OutStream.h>

#include <memory>

namespace rdr {

class BufferedOutStream : public OutStream {
public:
    // A negative buffer size means 16384, a negative maximum the current MaxOutBufferSize.
    BufferedOutStream(int bufferSize, int maxBufferSize);
    ~BufferedOutStream() override;

    int length() override { return int(flushed + std::uint32_t(ptr - buffer.get())); }
    int bufferedBytes() override { return int(ptr - sent); }
    int spaceLeft() override { return maximum - bufferedBytes(); }
    void setThrowErrors(bool enabled) override { throwErrors = enabled; }

    // Writes pending bytes (waiting when the stream is blocking) until none remain; false when
    // the destination took nothing more first, leaving the rest pending.
    bool flush() override;
    // The same without returning the buffer to its start; true when nothing is pending.
    bool tryFlush(bool wait);
    // One write of pending bytes; false if it wrote nothing.
    bool writeSome(bool wait);

    int writeTimeout() const { return writeTimeoutMs; }
    void setWriteTimeout(int milliseconds) { writeTimeoutMs = milliseconds; }
    int bufferSize() const { return size; }
    int maxBufferSize() const { return maximum; }

protected:
    int overrun(int itemSize, int nItems) override;
    // Writes up to length bytes and returns how many went (0: none now). With wait, the
    // subclass may block until the destination takes some.
    virtual int writeData(const std::uint8_t* data, int length, bool wait) = 0;

    bool isBlocking() const { return blocking; }
    void setBlocking(bool enabled) { blocking = enabled; }
    bool doesThrowErrors() const { return blocking || throwErrors; }
    void setTrace(bool enabled) { trace = enabled; }
    // Bytes that left the buffer before its start, for streams that skip the buffer.
    void addFlushed(int count) { flushed += std::uint32_t(count); }

private:
    int writePending(bool wait);
    void restartAtBufferStart();
    void moveToFront(std::uint8_t* newStart);
    void grow();
    void setWindow(int itemSize);

    std::int32_t size;
    std::int32_t maximum;
    std::uint32_t flushed = 0;
    std::int32_t writeTimeoutMs;
    std::unique_ptr<std::uint8_t[]> buffer;
    std::uint8_t* sent;
    bool blocking = true;
    bool throwErrors = true;
    bool trace = false;
};

// One fixed size that is both buffer size and maximum, so the buffer never grows; it never
// reports itself full.
class BufferedNBOutStream : public BufferedOutStream {
public:
    // A negative size means 16384.
    explicit BufferedNBOutStream(int bufferSize);

    int spaceLeft() override;
};

// A stream that may hold its bytes back (lazy) instead of writing them at once.
class BufferedLazyOutStream : public BufferedOutStream {
public:
    BufferedLazyOutStream(int bufferSize, int maxBufferSize);

    // Blocking when not lazy; then writes what the destination takes now.
    virtual void setLazy(bool lazy);
};

// Counts what is written and discards it.
class NullOutStream : public BufferedNBOutStream {
public:
    NullOutStream();

    void writeBytes(const void* data, int length) override;

protected:
    int writeData(const std::uint8_t* data, int length, bool wait) override;
};

} // namespace rdr
