// Frame splitting for the framed stream tests.
#include "frames.h"

#include <stdexcept>

namespace rdrtest {

std::vector<Frame> splitFrames(const std::string& bytes) {
    std::vector<Frame> frames;
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < 2)
            throw std::runtime_error("cut header");
        unsigned header = unsigned(std::uint8_t(bytes[at])) << 8 | std::uint8_t(bytes[at + 1]);
        std::size_t length = header & 0x7FFF;
        if (bytes.size() - at - 2 < length)
            throw std::runtime_error("cut payload");
        frames.push_back(Frame{(header & 0x8000) != 0, bytes.substr(at + 2, length)});
        at += 2 + length;
    }
    return frames;
}

} // namespace rdrtest
