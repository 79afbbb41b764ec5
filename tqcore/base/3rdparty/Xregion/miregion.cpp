// The band sweep behind union, intersection and subtraction, coalescing of equal bands, and
// translation with clipping to the 16-bit range.
#include "miregion.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace xregion {

namespace {

RegionData emptyBlock{0, 0};

bool ownsBlock(const Region* region) {
    return region->data && region->data != &emptyBlock;
}

RegionData* allocateData(std::int64_t capacity) {
    if (capacity > INT32_MAX)
        throw std::bad_alloc();
    void* memory = std::malloc(sizeof(RegionData) + std::size_t(capacity) * sizeof(RgnRect));
    if (!memory)
        throw std::bad_alloc();
    auto* data = static_cast<RegionData*>(memory);
    data->capacity = std::int32_t(capacity);
    data->count = 0;
    return data;
}

void freeData(Region* region) {
    if (ownsBlock(region))
        std::free(region->data);
    region->data = nullptr;
}

std::int16_t clamp16(std::int64_t value) {
    return std::int16_t(std::clamp<std::int64_t>(value, INT16_MIN, INT16_MAX));
}

bool extentsOverlap(const RgnRect& a, const RgnRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool encloses(const RgnRect& outer, const RgnRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

// The rectangles of a result while it is built; the block is the region's once handed over.
// Appending goes through a cursor and a limit, so that the sweep's inner loops need no count
// and no capacity from memory.
class Builder {
public:
    explicit Builder(std::int64_t capacity)
        : data(allocateData(std::max<std::int64_t>(capacity, 4))), cursor(data->rects()),
          limit(cursor + data->capacity) {}
    ~Builder() { std::free(data); }
    Builder(const Builder&) = delete;
    Builder& operator=(const Builder&) = delete;

    int count() const { return int(cursor - data->rects()); }
    RgnRect* at(int index) { return data->rects() + index; }

    void push(int left, int top, int right, int bottom) {
        if (cursor == limit)
            grow(1);
        *cursor++ = RgnRect{std::int16_t(left), std::int16_t(top), std::int16_t(right),
                            std::int16_t(bottom)};
    }
    // Room for n more rectangles, written at the returned cursor and handed back with
    // advanceTo(), for loops that decide after writing whether a rectangle counts.
    RgnRect* reserve(std::int64_t n) {
        if (limit - cursor < n)
            grow(n);
        return cursor;
    }
    void advanceTo(RgnRect* newCursor) { cursor = newCursor; }

    void pushBand(const RgnRect* r, const RgnRect* end, int top, int bottom) {
        if (limit - cursor < end - r)
            grow(end - r);
        for (; r != end; ++r)
            *cursor++ = RgnRect{r->left, std::int16_t(top), r->right, std::int16_t(bottom)};
    }
    void pushAll(const RgnRect* r, const RgnRect* end) {
        if (limit - cursor < end - r)
            grow(end - r);
        std::memcpy(cursor, r, std::size_t(end - r) * sizeof(RgnRect));
        cursor += end - r;
        for (; r != end; ++r) {
            left = std::min<int>(left, r->left);
            right = std::max<int>(right, r->right);
        }
    }

    // Merges the band starting at bandStart with the one starting at previousStart when they
    // touch vertically and have the same spans; returns where the last band now starts. The
    // band's first and last spans widen the horizontal extents.
    int coalesce(int previousStart, int bandStart) {
        int bandCount = count() - bandStart;
        if (bandCount == 0)
            return previousStart;
        left = std::min<int>(left, at(bandStart)->left);
        right = std::max<int>(right, cursor[-1].right);
        if (bandStart - previousStart != bandCount)
            return bandStart;
        RgnRect* previous = at(previousStart);
        RgnRect* band = at(bandStart);
        if (previous->bottom != band->top)
            return bandStart;
        for (int i = 0; i < bandCount; ++i)
            if (previous[i].left != band[i].left || previous[i].right != band[i].right)
                return bandStart;
        for (int i = 0; i < bandCount; ++i)
            previous[i].bottom = band->bottom;
        cursor -= bandCount;
        return previousStart;
    }

    // Replaces region's contents by the rectangles built. Only lists built band by band through
    // coalesce() and pushAll() know their extents.
    void handOver(Region* region) {
        int used = count();
        if (used == 0) {
            RgnRect last = region->extents;
            freeData(region);
            region->extents = RgnRect{last.left, last.top, last.left, last.top};
            region->data = &emptyBlock;
            return;
        }
        const RgnRect* r = data->rects();
        RgnRect extents{std::int16_t(left), r[0].top, std::int16_t(right), r[used - 1].bottom};
        freeData(region);
        region->extents = used == 1 ? r[0] : extents;
        if (used > 1) {
            data->count = used;
            region->data = std::exchange(data, nullptr);
        }
    }

private:
    void grow(std::int64_t needed) {
        std::int64_t used = count();
        std::int64_t capacity = std::max(std::int64_t(data->capacity) * 2, used + needed);
        if (capacity > INT32_MAX)
            throw std::bad_alloc();
        void* memory =
            std::realloc(data, sizeof(RegionData) + std::size_t(capacity) * sizeof(RgnRect));
        if (!memory)
            throw std::bad_alloc();
        data = static_cast<RegionData*>(memory);
        data->capacity = std::int32_t(capacity);
        cursor = data->rects() + used;
        limit = data->rects() + capacity;
    }

    RegionData* data;
    RgnRect* cursor;
    RgnRect* limit;
    int left = INT16_MAX;
    int right = INT16_MIN;
};

const RgnRect* bandEnd(const RgnRect* r, const RgnRect* end) {
    const RgnRect* next = r + 1;
    while (next != end && next->top == r->top)
        ++next;
    return next;
}

// Within one band: spans of either operand, merged where they touch or overlap.
struct UnionOp {
    static constexpr bool keepFirst = true;
    static constexpr bool keepSecond = true;
    static void overlap(Builder& out, const RgnRect* r1, const RgnRect* end1, const RgnRect* r2,
                        const RgnRect* end2, int top, int bottom) {
        int left, right;
        if (r1->left < r2->left) {
            left = r1->left;
            right = r1->right;
            ++r1;
        } else {
            left = r2->left;
            right = r2->right;
            ++r2;
        }
        for (;;) {
            const RgnRect* next;
            if (r1 != end1 && (r2 == end2 || r1->left < r2->left))
                next = r1++;
            else if (r2 != end2)
                next = r2++;
            else
                break;
            if (next->left <= right) {
                right = std::max<int>(right, next->right);
            } else {
                out.push(left, top, right, bottom);
                left = next->left;
                right = next->right;
            }
        }
        out.push(left, top, right, bottom);
    }
};

struct IntersectOp {
    static constexpr bool keepFirst = false;
    static constexpr bool keepSecond = false;
    static void overlap(Builder& out, const RgnRect* r1, const RgnRect* end1, const RgnRect* r2,
                        const RgnRect* end2, int top, int bottom) {
        // Each step consumes a span of at least one operand, so the band needs no more room
        // than both have spans; the cursor then stays in a register.
        RgnRect* cursor = out.reserve((end1 - r1) + (end2 - r2));
        while (r1 != end1 && r2 != end2) {
            std::int16_t left = std::max(r1->left, r2->left);
            std::int16_t right = std::min(r1->right, r2->right);
            // Written always and kept when not empty: whether spans meet is hard to predict.
            *cursor = RgnRect{left, std::int16_t(top), right, std::int16_t(bottom)};
            cursor += left < right;
            if (r1->right == right)
                ++r1;
            if (r2->right == right)
                ++r2;
        }
        out.advanceTo(cursor);
    }
};

// The spans of the first operand with the second's cut out.
struct SubtractOp {
    static constexpr bool keepFirst = true;
    static constexpr bool keepSecond = false;
    static void overlap(Builder& out, const RgnRect* r1, const RgnRect* end1, const RgnRect* r2,
                        const RgnRect* end2, int top, int bottom) {
        int left = r1->left;
        auto nextMinuend = [&] {
            if (++r1 != end1)
                left = r1->left;
        };
        while (r1 != end1 && r2 != end2) {
            if (r2->right <= left) {
                ++r2;
            } else if (r2->left <= left) {
                left = r2->right;
                if (left >= r1->right)
                    nextMinuend();
                else
                    ++r2;
            } else if (r2->left < r1->right) {
                out.push(left, top, r2->left, bottom);
                left = r2->right;
                if (left >= r1->right)
                    nextMinuend();
                else
                    ++r2;
            } else {
                if (r1->right > left)
                    out.push(left, top, r1->right, bottom);
                nextMinuend();
            }
        }
        while (r1 != end1) {
            out.push(left, top, r1->right, bottom);
            nextMinuend();
        }
    }
};

// Walks both lists band by band, cutting bands at every top and bottom of either operand; the
// operation decides what the parts covered by one or both operands become.
template <typename Op>
void regionOp(Region* dest, const Region* a, const Region* b) {
    const RgnRect* r1 = rects(a);
    const RgnRect* end1 = r1 + numRects(a);
    const RgnRect* r2 = rects(b);
    const RgnRect* end2 = r2 + numRects(b);
    Builder out(std::int64_t(std::max(numRects(a), numRects(b))) * 2);
    int previousBand = 0;
    int bottom = std::min(r1->top, r2->top);
    // A band of one operand often spans several of the other's: its end is found once.
    const RgnRect* band1End = bandEnd(r1, end1);
    const RgnRect* band2End = bandEnd(r2, end2);
    while (r1 != end1 && r2 != end2) {
        int top;
        if (r1->top < r2->top) {
            if constexpr (Op::keepFirst) {
                int partTop = std::max<int>(r1->top, bottom);
                int partBottom = std::min(r1->bottom, r2->top);
                if (partTop < partBottom) {
                    int band = out.count();
                    out.pushBand(r1, band1End, partTop, partBottom);
                    previousBand = out.coalesce(previousBand, band);
                }
            }
            top = r2->top;
        } else if (r2->top < r1->top) {
            if constexpr (Op::keepSecond) {
                int partTop = std::max<int>(r2->top, bottom);
                int partBottom = std::min(r2->bottom, r1->top);
                if (partTop < partBottom) {
                    int band = out.count();
                    out.pushBand(r2, band2End, partTop, partBottom);
                    previousBand = out.coalesce(previousBand, band);
                }
            }
            top = r1->top;
        } else {
            top = r1->top;
        }
        bottom = std::min(r1->bottom, r2->bottom);
        if (bottom > top) {
            int band = out.count();
            Op::overlap(out, r1, band1End, r2, band2End, top, bottom);
            previousBand = out.coalesce(previousBand, band);
        }
        if (r1->bottom == bottom && (r1 = band1End) != end1)
            band1End = bandEnd(r1, end1);
        if (r2->bottom == bottom && (r2 = band2End) != end2)
            band2End = bandEnd(r2, end2);
    }
    auto appendRest = [&](const RgnRect* r, const RgnRect* end) {
        const RgnRect* firstEnd = bandEnd(r, end);
        int band = out.count();
        out.pushBand(r, firstEnd, std::max<int>(r->top, bottom), r->bottom);
        out.coalesce(previousBand, band);
        out.pushAll(firstEnd, end);
    };
    if (r1 != end1 && Op::keepFirst)
        appendRest(r1, end1);
    else if (r2 != end2 && Op::keepSecond)
        appendRest(r2, end2);
    out.handOver(dest);
}

} // namespace

RegionData* emptyData() {
    return &emptyBlock;
}

void init(Region* region) {
    region->extents = RgnRect{0, 0, 0, 0};
    region->data = &emptyBlock;
}

void initRect(Region* region, const RgnRect& rect) {
    region->data = nullptr;
    reset(region, rect);
}

void fini(Region* region) {
    freeData(region);
}

void makeEmpty(Region* region) {
    freeData(region);
    region->extents.right = region->extents.left;
    region->extents.bottom = region->extents.top;
    region->data = &emptyBlock;
}

void reset(Region* region, const RgnRect& rect) {
    freeData(region);
    region->extents = rect;
    if (rect.left >= rect.right || rect.top >= rect.bottom)
        makeEmpty(region);
}

void copy(Region* dest, const Region* source) {
    if (dest == source)
        return;
    if (!ownsBlock(source)) {
        freeData(dest);
        *dest = *source;
        return;
    }
    int count = source->data->count;
    if (!ownsBlock(dest) || dest->data->capacity < count) {
        RegionData* data = allocateData(count);
        freeData(dest);
        dest->data = data;
    }
    dest->data->count = count;
    std::memcpy(dest->data->rects(), source->data->rects(), std::size_t(count) * sizeof(RgnRect));
    dest->extents = source->extents;
}

void unionOf(Region* dest, const Region* a, const Region* b) {
    if (a == b || isEmpty(b))
        return copy(dest, a);
    if (isEmpty(a))
        return copy(dest, b);
    if (!a->data && encloses(a->extents, b->extents))
        return copy(dest, a);
    if (!b->data && encloses(b->extents, a->extents))
        return copy(dest, b);
    regionOp<UnionOp>(dest, a, b);
}

void intersect(Region* dest, const Region* a, const Region* b) {
    if (isEmpty(a) || isEmpty(b) || !extentsOverlap(a->extents, b->extents))
        return makeEmpty(dest);
    if (!a->data && !b->data) {
        RgnRect r{std::max(a->extents.left, b->extents.left),
                  std::max(a->extents.top, b->extents.top),
                  std::min(a->extents.right, b->extents.right),
                  std::min(a->extents.bottom, b->extents.bottom)};
        return reset(dest, r);
    }
    if (!a->data && encloses(a->extents, b->extents))
        return copy(dest, b);
    if (!b->data && encloses(b->extents, a->extents))
        return copy(dest, a);
    regionOp<IntersectOp>(dest, a, b);
}

void subtract(Region* dest, const Region* a, const Region* b) {
    if (isEmpty(a) || isEmpty(b) || !extentsOverlap(a->extents, b->extents))
        return copy(dest, a);
    if (!b->data && encloses(b->extents, a->extents))
        return makeEmpty(dest);
    regionOp<SubtractOp>(dest, a, b);
}

void translate(Region* region, int dx, int dy) {
    if (isEmpty(region))
        return;
    const RgnRect& e = region->extents;
    std::int64_t left = std::int64_t(e.left) + dx, right = std::int64_t(e.right) + dx;
    std::int64_t top = std::int64_t(e.top) + dy, bottom = std::int64_t(e.bottom) + dy;
    if (left >= INT16_MIN && right <= INT16_MAX && top >= INT16_MIN && bottom <= INT16_MAX) {
        auto shift = [dx, dy](RgnRect& r) {
            r = RgnRect{std::int16_t(r.left + dx), std::int16_t(r.top + dy),
                        std::int16_t(r.right + dx), std::int16_t(r.bottom + dy)};
        };
        shift(region->extents);
        if (ownsBlock(region))
            std::for_each(region->data->rects(), region->data->rects() + region->data->count,
                          shift);
        return;
    }
    // Cutting at the range's edges can empty rectangles and make neighbouring bands equal, so
    // the list is rebuilt band by band.
    Builder out(numRects(region));
    int previousBand = 0;
    const RgnRect* r = rects(region);
    const RgnRect* end = r + numRects(region);
    while (r != end) {
        const RgnRect* next = bandEnd(r, end);
        std::int16_t bandTop = clamp16(std::int64_t(r->top) + dy);
        std::int16_t bandBottom = clamp16(std::int64_t(r->bottom) + dy);
        if (bandTop < bandBottom) {
            int band = out.count();
            for (; r != next; ++r) {
                std::int16_t l = clamp16(std::int64_t(r->left) + dx);
                std::int16_t rr = clamp16(std::int64_t(r->right) + dx);
                if (l < rr)
                    out.push(l, bandTop, rr, bandBottom);
            }
            previousBand = out.coalesce(previousBand, band);
        }
        r = next;
    }
    out.handOver(region);
}

void setRects(Region* region, const RgnRect& extents, int count, const RgnRect* list) {
    if (count <= 0)
        return makeEmpty(region);
    if (count == 1)
        return reset(region, extents);
    std::memcpy(startRects(region, extents, count), list, std::size_t(count) * sizeof(RgnRect));
    region->data->count = count;
}

RgnRect* startRects(Region* region, const RgnRect& extents, int capacity) {
    RegionData* data = allocateData(std::max(capacity, 2));
    freeData(region);
    region->data = data;
    region->extents = extents;
    return data->rects();
}

bool isEmpty(const Region* region) {
    return region->data == &emptyBlock;
}

int numRects(const Region* region) {
    return region->data ? region->data->count : 1;
}

const RgnRect* rects(const Region* region) {
    return region->data ? region->data->rects() : &region->extents;
}

bool containsPoint(const Region* region, int x, int y, RgnRect* box) {
    const RgnRect& e = region->extents;
    if (isEmpty(region) || x < e.left || x >= e.right || y < e.top || y >= e.bottom)
        return false;
    for (const RgnRect *r = rects(region), *end = r + numRects(region); r != end; ++r) {
        if (y >= r->bottom)
            continue;
        // Bands do not overlap vertically: the first band reaching below y is the only one
        // that can hold the point, and its spans are sorted.
        if (y < r->top || x < r->left)
            return false;
        if (x < r->right) {
            if (box)
                *box = *r;
            return true;
        }
    }
    return false;
}

bool equal(const Region* a, const Region* b) {
    if (isEmpty(a) || isEmpty(b))
        return isEmpty(a) && isEmpty(b);
    int count = numRects(a);
    return a->extents == b->extents && count == numRects(b) &&
           std::equal(rects(a), rects(a) + count, rects(b));
}

namespace {

// Whether the band [band, end) repeats the spans of the band right above it.
bool repeatsBand(const RgnRect* previousBand, const RgnRect* band, const RgnRect* end) {
    return previousBand && previousBand->bottom == band->top && band - previousBand == end - band &&
           std::equal(band, end, previousBand, [](const RgnRect& x, const RgnRect& y) {
               return x.left == y.left && x.right == y.right;
           });
}

} // namespace

bool isValid(const Region* region) {
    const RgnRect& e = region->extents;
    if (isEmpty(region))
        return e.left == e.right && e.top == e.bottom;
    if (!region->data)
        return e.left < e.right && e.top < e.bottom;
    int count = region->data->count;
    if (count < 2 || count > region->data->capacity)
        return false;
    const RgnRect* r = region->data->rects();
    int left = INT16_MAX, right = INT16_MIN;
    const RgnRect* previousBand = nullptr;
    const RgnRect* band = r;
    for (int i = 0; i < count; ++i) {
        if (r[i].left >= r[i].right || r[i].top >= r[i].bottom)
            return false;
        left = std::min<int>(left, r[i].left);
        right = std::max<int>(right, r[i].right);
        if (i == 0)
            continue;
        const RgnRect& p = r[i - 1];
        if (r[i].top == p.top) {
            if (r[i].bottom != p.bottom || r[i].left <= p.right)
                return false;
            continue;
        }
        if (r[i].top < p.bottom || repeatsBand(previousBand, band, r + i))
            return false;
        previousBand = band;
        band = r + i;
    }
    return !repeatsBand(previousBand, band, r + count) && e.left == left && e.right == right &&
           e.top == r[0].top && e.bottom == r[count - 1].bottom;
}

} // namespace xregion
