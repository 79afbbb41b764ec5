// A stream over the fuzz input that hands it out in pieces, for the targets of stream readers.
#pragma once

#include <rdr/BufferedInStream.h>
#include <rdr/Exception.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace fuzz {

// Hands out the data in pieces of 1 to 16 bytes, the sizes drawn from the seed, with "no data now"
// between pieces.
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

} // namespace fuzz
