// A set of pixels as a value: banded rectangles with 16-bit coordinates (anything outside that
// range is clamped on entry), with building from rectangle lists, grid alignment, the wire form,
// a text dump and iteration in tiles.
#pragma once

#include <rfb/Rect.h>

#include <Xregion/miregion.h>
#include <plat/DString.h>

#include <cstdint>
#include <vector>

namespace rdr {
class InStream;
class OutStream;
} // namespace rdr

namespace rfb {

class Region {
public:
    Region();
    explicit Region(const Rect& r);
    Region(const Region& other);
    // The moved-from region is left empty.
    Region(Region&& other) noexcept;
    Region& operator=(const Region& other);
    Region& operator=(Region&& other) noexcept;
    ~Region();

    void clear();
    void reset(const Rect& r);
    void translate(const Point& delta);

    // Replaces the contents by a list that is already banded; a list that is not is rebuilt as
    // the union of its rectangles.
    void setRects(const Rect& extents, int count, const RgnRect* rects);
    // Adds rectangles in any order; empty ones add nothing.
    void addRects(int count, const Rect* rects);

    void assignUnion(const Region& other);
    void assignIntersect(const Region& other);
    void assignSubtract(const Region& other);
    Region unionOf(const Region& other) const;
    Region intersect(const Region& other) const;
    Region subtract(const Region& other) const;

    bool equals(const Region& other) const;
    bool operator==(const Region& other) const { return equals(other); }
    bool isEmpty() const;
    int numRects() const;
    Rect getBoundingRect() const;
    bool contains(const Point& p) const;
    // The rectangles in banded order: top to bottom, left to right.
    const RgnRect* begin() const;
    const RgnRect* end() const;
    std::vector<Rect> rects() const;

    // Every rectangle widened outward to the grid of the given steps (both positive) through
    // origin.
    Region alignedTo(const Point& multiple, const Point& origin) const;

    // The wire form. state is -1 before the first call; after a rdr::BlockException the call is
    // repeated with the same state and resumes at the next rectangle.
    void read(rdr::InStream& in, int& state);
    void write(rdr::OutStream& out) const;

    // "num rects <n> extents <rect>" and one "    rect <rect>" line per rectangle.
    plat::DString dump() const;

    const xregion::Region* raw() const { return &region; }

private:
    // Replaces a list that breaks the banding invariants by the union of its rectangles.
    void repairIfInvalid();

    xregion::Region region;
};

// Visits a region's rectangles cut into tiles of less than maxArea pixels (at least step x
// step) whose sides are multiples of step, left to right and top to bottom in each rectangle.
class TiledIterator {
public:
    TiledIterator(const Region& region, std::int64_t maxArea, int step);
    // False when every tile has been visited.
    bool next(Rect& tile);

private:
    void startRectangle();

    const RgnRect* current;
    const RgnRect* end;
    std::int64_t maxArea;
    int step;
    Rect rect;
    int tileWidth = 0;
    int tileHeight = 0;
    Point position;
};

} // namespace rfb
