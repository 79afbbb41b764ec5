// A set of pixels. For now only what pixel buffers need to report changed areas: a single
// rectangle clamped to the 16-bit range.
#pragma once

#include <rfb/Rect.h>

namespace rfb {

class Region {
public:
    Region() = default;
    explicit Region(const Rect& r) : extents(RgnRect(r)) {
        if (extents.isEmpty())
            extents = Rect();
    }

    bool isEmpty() const { return extents.isEmpty(); }
    Rect getBoundingRect() const { return extents; }

private:
    Rect extents;
};

} // namespace rfb
