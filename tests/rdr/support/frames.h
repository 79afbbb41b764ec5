// Splitting framed bytes (2-byte headers: bit 15 last frame, bits 14..0 length) for checks.
#pragma once

#include <string>
#include <vector>

namespace rdrtest {

struct Frame {
    bool last;
    std::string payload;
};

// Raises std::runtime_error when the bytes do not end on a frame boundary.
std::vector<Frame> splitFrames(const std::string& bytes);

} // namespace rdrtest
