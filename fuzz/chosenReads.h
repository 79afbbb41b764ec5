// Reads that the fuzz input chooses for itself, for the targets of stream readers.
#pragma once

#include <plat/DString.h>
#include <rdr/InStream.h>

#include <cstdint>

namespace fuzz {

enum class ChosenRead { Continue, Finish, Abandon };

// Makes up to 64 reads, each of the kind that the stream's next byte selects, until the stream
// ends. Selectors 0 to 4 are the reads every target makes; 5 to 7 go to more(in, selector), which
// reads on or says to finish or abandon the rest. Returns false when abandoned.
template <typename MoreReads>
bool readChosen(rdr::InStream& in, MoreReads more) {
    plat::DString text;
    std::uint8_t scratch[64];
    for (int step = 0; step < 64 && !in.atEnd(); ++step) {
        int selector = in.readU8() % 8;
        switch (selector) {
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
        default:
            switch (more(in, selector)) {
            case ChosenRead::Continue:
                break;
            case ChosenRead::Finish:
                return true;
            case ChosenRead::Abandon:
                return false;
            }
        }
    }
    return true;
}

} // namespace fuzz
