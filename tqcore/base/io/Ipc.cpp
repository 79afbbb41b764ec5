// Attaching and detaching the connection, and the channel's handling of its input.
#include <io/Ipc.h>

#include <plat/Log.h>
#include <rdr/Exception.h>

namespace io {

namespace {

plat::LogSrc ipcLog("Ipc");

} // namespace

Ipc::Ipc(Callback* callback, const char* name, bool blocking)
    : channelName(name), callback(callback), output(&nullStream), blocking(blocking) {}

Ipc::~Ipc() {
    close();
}

void Ipc::setConnection(std::unique_ptr<Io> connection) {
    PLAT_ASSERT(!io);
    io = std::move(connection);
    input = io->inStream();
    output = io->outStream();
    // A connection without a descriptor has no streams.
    PLAT_ASSERT(input && output);
    registerConnection();
}

// A non-blocking reader that runs out of input re-reads the message from its checkpoint, so the
// input must keep it; a blocking one never returns, so its input may discard what was read.
void Ipc::registerConnection() {
    io->setHandler(blocking ? nullptr : this, !blocking);
    io->setInputRewindable(!blocking);
}

void Ipc::setBlocking(bool enabled) {
    blocking = enabled;
    if (io)
        registerConnection();
}

bool Ipc::close() {
    if (!io)
        return false;
    std::unique_ptr<Io> closing = std::move(io);
    input = nullptr;
    output = &nullStream;
    if (flushOnClose) {
        try {
            closing->outStream()->flush();
        } catch (plat::Exception& e) {
            ipcLog.debug("%s: %s", name(), e.message());
        }
    }
    closing.release()->shutdown(flushOnClose, false);
    return true;
}

void Ipc::fail(const plat::Exception& failure) {
    ipcLog.debug("%s: %s", name(), failure.message());
    callback->error(*this, failure);
    close();
    callback->disconnected(*this);
}

void Ipc::ioReady(Io&) {
    try {
        callback->process(*this);
    } catch (rdr::BlockException&) {
    } catch (plat::Exception& e) {
        fail(e);
    }
}

} // namespace io
