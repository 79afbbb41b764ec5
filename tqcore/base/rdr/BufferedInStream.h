// Input streams that read from a source into a heap buffer of their own; a subclass supplies
// readData(). The non-blockable variant can report "no data now" instead of waiting.
#pragma once

#include <rdr/InStream.h>
#include <rdr/OutStream.h>

#include <memory>

namespace rdr {

class BufferedInStream : public InStream {
public:
    // A negative size means 16800.
    explicit BufferedInStream(int bufferSize = -1);
    ~BufferedInStream() override;

    int pos() const override { return int(discarded + std::uint32_t(ptr - buffer.get())); }

    // Hands the unread bytes to another stream: writeTo() writes their count as U32 and the
    // bytes (which stay unread here); readFrom() appends such a record after end.
    void writeTo(OutStream& out);
    void readFrom(InStream& in);

protected:
    BufferedInStream(BufferedInStream&& other) noexcept;

    bool overrun(int n) override;
    // Stores up to length bytes; 0 means none now.
    virtual int readData(std::uint8_t* destination, int length) = 0;

    void setWipe(bool enabled) { wipe = enabled; }
    void setTrace(bool enabled) { trace = enabled; }

private:
    std::uint8_t* writableEnd() { return buffer.get() + (end - buffer.get()); }
    const std::uint8_t* bufferEnd() const { return buffer.get() + bufferSize; }

    std::uint32_t discarded = 0;
    std::int32_t bufferSize;
    std::unique_ptr<std::uint8_t[]> buffer;
    bool wipe = false;
    bool trace = false;
};

class BufferedNonBlockableInStream : public BufferedInStream {
public:
    explicit BufferedNonBlockableInStream(int bufferSize = -1);

    // A non-blocking stream becomes rewindable, so that a refill that would block returns to
    // the start of the message being read.
    virtual void setNonBlocking(bool enabled);
    bool isNonBlocking() const { return nonBlocking; }

protected:
    BufferedNonBlockableInStream(BufferedNonBlockableInStream&& other) noexcept = default;

private:
    bool nonBlocking = false;
};

} // namespace rdr
