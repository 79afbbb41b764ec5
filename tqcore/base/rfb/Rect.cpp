// The text form of rectangles.
#include <rfb/Rect.h>

#include <cstdio>

namespace rfb {

void Rect::print(char* buffer, std::size_t capacity) const {
    std::snprintf(buffer, capacity, "%d,%d to %d,%d", tl.x, tl.y, br.x, br.y);
}

} // namespace rfb
