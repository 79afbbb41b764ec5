// A bidirectional byte connection with buffered streams, the handler that hears when it has
// input, and the objects that take connections over.
#pragma once

#include <rdr/InStream.h>
#include <rdr/OutStream.h>

#include <memory>

namespace io {

class Io;

class IoHandler {
public:
    virtual ~IoHandler() = default;
    // Input has arrived, or the connection has ended (reading tells which).
    virtual void ioReady(Io& io) = 0;
    // A shutdown that was asked to tell the handler is complete; the connection is destroyed
    // when this returns.
    virtual void ioShutdownComplete(Io&) {}
};

class Io {
public:
    Io() = default;
    Io(const Io&) = delete;
    Io& operator=(const Io&) = delete;
    virtual ~Io() = default;

    // Null while no descriptor is attached.
    virtual rdr::InStream* inStream() = 0;
    virtual rdr::OutStream* outStream() = 0;

    // With a handler the streams do not block: the handler hears of input (when readInterest
    // is set) and output is written as the peer takes it. Without one the streams block.
    virtual void setHandler(IoHandler* handler, bool readInterest) = 0;
    // A rewindable input keeps everything from its checkpoint on, so that a message cut short
    // can be read again from its start.
    virtual void setInputRewindable(bool rewindable) = 0;
    // Ends the connection; the caller gives up the object, which destroys itself once the
    // pending output has been written (flush) or at once, never under the caller's frame.
    // tellHandler keeps the handler to hear ioShutdownComplete().
    virtual void shutdown(bool flush, bool tellHandler) = 0;
};

class IoAcceptor {
public:
    virtual ~IoAcceptor() = default;
    // Takes the connection over.
    virtual void setConnection(std::unique_ptr<Io> io) = 0;
};

} // namespace io
