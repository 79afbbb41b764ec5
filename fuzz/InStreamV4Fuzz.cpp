// Fuzz target: framed message reading with rdr::InStreamV4 over a non-blocking source that hands
// the input out in pieces, so that every blocked read is retried from its checkpoint.
//
// Input: byte 0 seeds the piece sizes; the rest is the wire data. Each message's payload drives
// the reader: every byte selects the next read operation.
#include "PiecewiseSource.h"
#include "chosenReads.h"

#include <rdr/Exception.h>
#include <rdr/FramedInStream.h>

#include <plat/Exception.h>

#include <cstddef>
#include <cstdint>

namespace {

// Reads one message as its own bytes direct; throws BlockException when data is missing.
void readMessage(rdr::InStreamV4& in) {
    fuzz::readChosen(in, [&in](rdr::InStream&, int selector) {
        switch (selector) {
        case 5: {
            std::uint8_t scratch[64];
            int count = 1 + in.readU8() % 16;
            in.getItems(scratch, 4, &count);
            break;
        }
        case 6:
            in.readU64();
            break;
        default:
            in.skipMsg();
            break;
        }
        return fuzz::ChosenRead::Continue;
    });
    in.skipMsg();
    in.endMsg();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    fuzz::PiecewiseSource source(data + 1, size - 1, data[0]);
    source.setNonBlocking(true);
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
