// Fuzz target: named-message decoding by io::MsgIpc over a connection that hands the input out
// in pieces, with readers that stop half way, close the channel or answer, and the log message
// reader with its length limits.
//
// Input: byte 0 chooses the channel's options, byte 1 seeds the piece sizes; the rest is the wire
// data. A "Text" message's payload drives its reader: every byte selects the next operation.
#include <io/Io.h>
#include <io/LogMsgReader.h>
#include <io/MsgIpc.h>

#include <plat/DString.h>
#include <plat/Exception.h>
#include <rdr/BufferedInStream.h>
#include <rdr/BufferedOutStream.h>
#include <rdr/Exception.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// Hands out the data in pieces of 1 to 16 bytes, with "no data now" between pieces.
class PiecewiseSource : public rdr::BufferedNonBlockableInStream {
public:
    PiecewiseSource(const std::uint8_t* data, std::size_t size, std::uint8_t seed)
        : BufferedNonBlockableInStream(4096), data(data), size(size), state(seed | 1u) {}
    void setRewindable(bool enabled) { rewindable = enabled; }

protected:
    int readData(std::uint8_t* destination, int length) override {
        blockNext = !blockNext;
        if (blockNext)
            return 0;
        if (offset == size)
            throw rdr::EndOfStream("End of IO stream");
        state = state * 1103515245u + 12345u;
        std::size_t piece = 1 + (state >> 16) % 16;
        piece = std::min({piece, size - offset, std::size_t(length)});
        std::memcpy(destination, data + offset, piece);
        offset += piece;
        return int(piece);
    }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset = 0;
    std::uint32_t state;
    bool blockNext = false;
};

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
    PiecewiseSource in;
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
        plat::DString text;
        std::uint8_t scratch[64];
        for (int step = 0; step < 64 && !in.atEnd(); ++step) {
            switch (in.readU8() % 8) {
            case 0:
                in.readU32();
                break;
            case 1:
                in.readString32(40, true);
                break;
            case 2:
                in.readLine(text, 30, nullptr, true);
                break;
            case 3:
                in.readBytes(scratch, 1 + in.readU8() % 64);
                break;
            case 4:
                in.skip(in.readU8());
                break;
            case 5:
                in.readString8(true);
                break;
            case 6:
                if (stopsLeft > 0) {
                    --stopsLeft;
                    return false;
                }
                break;
            default:
                return true;
            }
        }
        return true;
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
