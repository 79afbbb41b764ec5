// Fuzz target: framed message reading with rdr::InStreamV4 over a non-blocking source that hands
// the input out in pieces, so that every blocked read is retried from its checkpoint.
//
// Input: byte 0 seeds the piece sizes; the rest is the wire data. Each message's payload drives
// the reader: every byte selects the next read operation.
#include <rdr/BufferedInStream.h>
#include <rdr/Exception.h>
#include <rdr/FramedInStream.h>

#include <plat/DString.h>
#include <plat/Exception.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// Hands out the data in pieces of 1 to 16 bytes, with "no data now" between pieces.
class PiecewiseSource : public rdr::BufferedNonBlockableInStream {
public:
    PiecewiseSource(const std::uint8_t* data, std::size_t size, std::uint8_t seed)
        : BufferedNonBlockableInStream(4096), data(data), size(size), state(seed | 1u) {
        setNonBlocking(true);
    }

protected:
    int readData(std::uint8_t* destination, int length) override {
        blockNext = !blockNext;
        if (blockNext)
            return 0;
        if (offset == size)
            throw rdr::EndOfStream();
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

// Reads one message as its own bytes direct; throws BlockException when data is missing.
void readMessage(rdr::InStreamV4& in) {
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
        case 4: {
            int count = 1 + in.readU8() % 16;
            in.getItems(scratch, 4, &count);
            break;
        }
        case 5:
            in.skip(in.readU8());
            break;
        case 6:
            in.readU64();
            break;
        default:
            in.skipMsg();
            break;
        }
    }
    in.skipMsg();
    in.endMsg();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    PiecewiseSource source(data + 1, size - 1, data[0]);
    rdr::InStreamV4 in(&source);
    // Every attempt either completes a message or waits for a piece that makes progress.
    for (std::size_t attempts = 0; attempts < 4 * size + 16; ++attempts) {
        try {
            if (in.startMsg(false))
                readMessage(in);
        } catch (rdr::BlockException&) {
        } catch (rdr::EndOfMsg&) {
            // A message shorter than its reader expects: discard it and go on with the next.
            try {
                in.skipMsg();
                in.endMsg();
            } catch (rdr::BlockException&) {
            } catch (plat::Exception&) {
                return 0;
            }
        } catch (plat::Exception&) {
            return 0;
        }
    }
    return 0;
}
