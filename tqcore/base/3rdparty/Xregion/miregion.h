// Banded rectangle regions with 16-bit coordinates: union, intersection, subtraction and
// translation. Self-contained; it depends on no other library of ours.
//
// A region's rectangles are sorted by top, then left, and grouped into bands of equal top and
// bottom; within a band rectangles are at least one pixel apart, and vertically adjacent bands
// with the same spans are merged. So two regions of the same pixels have the same list.
#pragma once

#include <cstdint>

namespace xregion {

// Right and bottom are exclusive.
struct RgnRect {
    std::int16_t left;
    std::int16_t top;
    std::int16_t right;
    std::int16_t bottom;
    bool operator==(const RgnRect& other) const = default;
};

// The rectangles follow the header in the same allocation.
struct RegionData {
    std::int32_t capacity;
    std::int32_t count;
    RgnRect* rects() { return reinterpret_cast<RgnRect*>(this + 1); }
    const RgnRect* rects() const { return reinterpret_cast<const RgnRect*>(this + 1); }
};
static_assert(sizeof(RegionData) % alignof(RgnRect) == 0);

// data is null when the region is exactly its extents, emptyData() when it is empty (its
// extents then a zero-size rectangle), and otherwise an owned block.
struct Region {
    RgnRect extents;
    RegionData* data;
};

RegionData* emptyData();

// Every function that allocates throws std::bad_alloc when memory runs out; the destination is
// then left empty, never half-built.
void init(Region* region);
void initRect(Region* region, const RgnRect& rect);
void fini(Region* region);
void makeEmpty(Region* region);
void reset(Region* region, const RgnRect& rect);
void copy(Region* dest, const Region* source);
// dest may be one of the operands.
void unionOf(Region* dest, const Region* a, const Region* b);
void intersect(Region* dest, const Region* a, const Region* b);
void subtract(Region* dest, const Region* a, const Region* b);
// Moves every rectangle; what leaves the 16-bit range is cut off.
void translate(Region* region, int dx, int dy);
// Adopts an already banded list (count >= 2) with its extents.
void setRects(Region* region, const RgnRect& extents, int count, const RgnRect* rects);
// Gives the region an owned block of exactly capacity rectangles (at least 2) with count 0 and
// the extents, for a caller that fills it and sets the count; until then the region is not
// valid.
RgnRect* startRects(Region* region, const RgnRect& extents, int capacity);

bool isEmpty(const Region* region);
int numRects(const Region* region);
const RgnRect* rects(const Region* region);
// Whether the point lies in the region; *box (when given) receives the rectangle holding it.
bool containsPoint(const Region* region, int x, int y, RgnRect* box);
// All empty regions are equal, whatever their extents.
bool equal(const Region* a, const Region* b);
// Whether the representation keeps every invariant above, extents included.
bool isValid(const Region* region);

} // namespace xregion
