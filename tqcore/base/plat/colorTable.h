// Named colours: "#RRGGBB" texts and the process-wide table of the user interface's colour names,
// whose first entries follow the system colour provider's dark mode.
#pragma once

#include <cstdint>

namespace plat {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Rgb& other) const = default;
};

// "#" and three pairs of hexadecimal digits (either case), or a name of the table (compared
// exactly). False for null, other "#" texts and unknown names.
bool getColor(const char* name, Rgb& color);

} // namespace plat
