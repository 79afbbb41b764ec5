// A channel between two processes over one connection, which hides the connection's absence:
// while none is attached, output goes to a stream that discards it and there is nothing to read.
#pragma once

#include <io/Io.h>
#include <plat/DString.h>
#include <plat/Exception.h>
#include <rdr/BufferedOutStream.h>

#include <memory>

namespace io {

class Ipc : public IoAcceptor, private IoHandler {
public:
    class Callback {
    public:
        virtual ~Callback() = default;
        // Input has arrived; a rdr::BlockException ends the call quietly, any other exception
        // ends the channel with an error.
        virtual void process(Ipc& ipc) = 0;
        virtual void disconnected(Ipc& ipc) = 0;
        virtual void error(Ipc& ipc, const plat::Exception& failure) = 0;
    };

    // name prefixes the channel's log lines. A blocking channel has its connection read by
    // blocking calls; otherwise the thread's descriptor manager calls process().
    Ipc(Callback* callback, const char* name, bool blocking);
    ~Ipc() override;

    void setConnection(std::unique_ptr<Io> connection) override;
    bool isConnected() const { return io != nullptr; }
    // Detaches the connection and closes it (after its output, with flush-on-close); false when
    // none was attached. The connection is destroyed later, never under the caller's frame.
    bool close();
    // Logs the failure, tells the callback's error() and, after closing, its disconnected().
    void fail(const plat::Exception& failure);

    void setBlocking(bool enabled);
    bool isBlocking() const { return blocking; }
    void setFlushOnClose(bool enabled) { flushOnClose = enabled; }

    // Null while unconnected.
    rdr::InStream* in() { return input; }
    // The connection's output, or the discarding stream while unconnected.
    rdr::OutStream& out() { return *output; }
    const char* name() const { return channelName.c_str(); }

private:
    void ioReady(Io&) override;
    void registerConnection();

    plat::DString channelName;
    Callback* callback;
    std::unique_ptr<Io> io;
    rdr::InStream* input = nullptr;
    rdr::OutStream* output;
    rdr::NullOutStream nullStream;
    bool blocking;
    bool flushOnClose = false;
};

} // namespace io
