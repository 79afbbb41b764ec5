// A set of pixels. For now what pixel buffers and damage repair need: the bounding rectangle of
// everything added, clamped to the 16-bit range. A union may cover more than its parts, which
// costs a repaint of pixels that did not change, never a missed one.
#pragma once

#include <rfb/Rect.h>

#include <vector>

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
    // The rectangles that make up the region, none of them empty.
    std::vector<Rect> rects() const {
        return isEmpty() ? std::vector<Rect>{} : std::vector<Rect>{extents};
    }

    void clear() { extents = Rect(); }
    void unite(const Region& other) { *this = Region(extents.unionBoundary(other.extents)); }
    void intersect(const Rect& r) { *this = Region(extents.intersect(r)); }
    void translate(const Point& offset) {
        if (!isEmpty())
            *this = Region(extents.translate(offset));
    }

private:
    Rect extents;
};

} // namespace rfb
