// The rectangle of regions: 16-bit coordinates, right and bottom exclusive.
#pragma once

#include <cstdint>

namespace rfb {

struct RgnRect {
    std::int16_t left;
    std::int16_t top;
    std::int16_t right;
    std::int16_t bottom;
};

} // namespace rfb
