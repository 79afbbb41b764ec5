// Fuzz target: named-message decoding by io::MsgIpc over a connection that hands the input out
// in pieces, with readers that stop half way, close the channel or answer, and the log message
// reader with its length limits.
//
// Input: byte 0 chooses the channel's options, byte 1 seeds the piece sizes; the rest is the wire
// data. A "Text" message's payload drives its reader: every byte selects the next operation.
#include "PiecewiseSource.h"
#include "chosenReads.h"

#include <io/Io.h>
#include <io/LogMsgReader.h>
#include <io/MsgIpc.h>

#include <plat/Exception.h>
#include <rdr/BufferedOutStream.h>
#include <rdr/Exception.h>

#include <cstdint>
#include <cstring>

namespace {

// A connection whose input is the fuzz data; output is discarded. Without a descriptor manager
// a shutdown ends it at once, as a descriptor connection does.
class FuzzIo : public io::Io {
public:
    FuzzIo(const std::uint8_t* data, std::size_t size, std::uint8_t seed) : in(data, size, seed) {}

    rdr::InStream* inStream() override { return &in; }
    rdr::OutStream* outStream() override { return &out; }
    void setHandler(io::IoHandler* newHandler, bool) override {
        handler = newHandler;
        in.setNonBlocking(newHandler != nullptr);
    }
    void setInputRewindable(bool rewindable) override { in.setRewindable(rewindable); }
    void shutdown(bool, bool) override { delete this; }

    io::IoHandler* handler = nullptr;

private:
    fuzz::PiecewiseSource in;
    rdr::NullOutStream out;
};

class Readers : public io::MsgIpc::Reader,
                public io::MsgIpc::Callback,
                public io::LogMsgReader::Callback {
public:
    bool readMsg(const char* name, rdr::InStream& in, io::MsgIpc& ipc) override {
        if (!std::strcmp(name, "Close")) {
            ipc.close();
            return true;
        }
        if (!std::strcmp(name, "Reply")) {
            rdr::FramedOutStream& out = ipc.writeMsg("Text");
            out.writeString32("reply");
            out.endMsg(true);
            return true;
        }
        return readText(in);
    }
    void disconnected(io::MsgIpc&) override {}
    bool msgAllowed(io::MsgIpc&, const char* name, bool) override { return name[0] != 'Z'; }
    void error(io::MsgIpc&, const plat::Exception&) override {}
    void logMessage(int, const char*, const char*) override {}

    // How often a reader may still stop half way; each stop is retried from the payload start.
    int stopsLeft = 8;

private:
    bool readText(rdr::InStream& in) {
        return fuzz::readChosen(in, [this](rdr::InStream& in, int selector) {
            if (selector == 5) {
                in.readString8(true);
                return fuzz::ChosenRead::Continue;
            }
            if (selector == 6 && stopsLeft > 0) {
                --stopsLeft;
                return fuzz::ChosenRead::Abandon;
            }
            return selector == 6 ? fuzz::ChosenRead::Continue : fuzz::ChosenRead::Finish;
        });
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    Readers readers;
    io::MsgIpc ipc(&readers, "fuzz", false);
    ipc.setReplyWithBadMsg(data[0] & 1);
    ipc.setCloseOnGarbage(data[0] & 2);
    for (const char* name : {"Text", "Close", "Reply", "Zed"})
        ipc.setReader(name, &readers);
    io::LogMsgReader logReader(ipc, &readers);
    auto* connection = new FuzzIo(data + 2, size - 2, data[1]);
    ipc.setConnection(std::unique_ptr<io::Io>(connection));
    // Each turn is what the descriptor manager does when input arrives; the connection is gone
    // once the channel has been closed.
    for (std::size_t turn = 0; turn < 4 * size + 16 && ipc.isConnected(); ++turn)
        connection->handler->ioReady(*connection);
    return 0;
}
