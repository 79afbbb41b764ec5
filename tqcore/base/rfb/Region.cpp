// rfb::Region over the banded algebra: list building by halving, alignment, the wire form, the
// dump and tiled iteration.
#include <rfb/Region.h>

#include <plat/Exception.h>
#include <rdr/InStream.h>
#include <rdr/OutStream.h>

#include <algorithm>
#include <utility>

namespace rfb {

namespace {

// The region of rects[0, count), by uniting the regions of both halves, so that unions stay
// balanced and each rectangle takes part in about log2(count) of them.
Region unionOfList(const Rect* rects, int count) {
    if (count == 1)
        return Region(rects[0]);
    int half = count / 2;
    Region result = unionOfList(rects, half);
    result.assignUnion(unionOfList(rects + half, count - half));
    return result;
}

Region unionOfList(const std::vector<Rect>& rects) {
    return rects.empty() ? Region() : unionOfList(rects.data(), int(rects.size()));
}

// Rounds down (up) to origin + k × step, also for values below origin.
std::int64_t floorToGrid(std::int64_t value, std::int64_t origin, std::int64_t step) {
    std::int64_t offset = value - origin;
    std::int64_t k = offset >= 0 ? offset / step : -((-offset + step - 1) / step);
    return origin + k * step;
}

std::int64_t ceilToGrid(std::int64_t value, std::int64_t origin, std::int64_t step) {
    return floorToGrid(value + step - 1, origin, step);
}

int clampToInt16(std::int64_t value) {
    return int(std::clamp<std::int64_t>(value, INT16_MIN, INT16_MAX));
}

void appendRect(plat::DString& text, const char* format, const Rect& r) {
    text.appendf(format, RectText(r).c_str());
}

} // namespace

Region::Region() {
    xregion::init(&region);
}

Region::Region(const Rect& r) {
    xregion::initRect(&region, RgnRect(r));
}

Region::Region(const Region& other) : Region() {
    xregion::copy(&region, &other.region);
}

Region::Region(Region&& other) noexcept : region(other.region) {
    xregion::init(&other.region);
}

Region& Region::operator=(const Region& other) {
    xregion::copy(&region, &other.region);
    return *this;
}

Region& Region::operator=(Region&& other) noexcept {
    if (this != &other) {
        xregion::fini(&region);
        region = other.region;
        xregion::init(&other.region);
    }
    return *this;
}

Region::~Region() {
    xregion::fini(&region);
}

void Region::clear() {
    xregion::makeEmpty(&region);
}

void Region::reset(const Rect& r) {
    xregion::reset(&region, RgnRect(r));
}

void Region::translate(const Point& delta) {
    xregion::translate(&region, delta.x, delta.y);
}

void Region::setRects(const Rect& extents, int count, const RgnRect* list) {
    xregion::setRects(&region, RgnRect(extents), count, list);
    repairIfInvalid();
}

void Region::addRects(int count, const Rect* list) {
    std::vector<Rect> kept;
    kept.reserve(std::size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        Rect clamped{RgnRect(list[i])};
        if (!clamped.isEmpty())
            kept.push_back(clamped);
    }
    Region added = unionOfList(kept);
    if (isEmpty())
        *this = std::move(added);
    else
        assignUnion(added);
}

void Region::assignUnion(const Region& other) {
    xregion::unionOf(&region, &region, &other.region);
}

void Region::assignIntersect(const Region& other) {
    xregion::intersect(&region, &region, &other.region);
}

void Region::assignSubtract(const Region& other) {
    xregion::subtract(&region, &region, &other.region);
}

Region Region::unionOf(const Region& other) const {
    Region result;
    xregion::unionOf(&result.region, &region, &other.region);
    return result;
}

Region Region::intersect(const Region& other) const {
    Region result;
    xregion::intersect(&result.region, &region, &other.region);
    return result;
}

Region Region::subtract(const Region& other) const {
    Region result;
    xregion::subtract(&result.region, &region, &other.region);
    return result;
}

bool Region::equals(const Region& other) const {
    return xregion::equal(&region, &other.region);
}

bool Region::isEmpty() const {
    return xregion::isEmpty(&region);
}

int Region::numRects() const {
    return isEmpty() ? 0 : xregion::numRects(&region);
}

Rect Region::getBoundingRect() const {
    return Rect(region.extents);
}

bool Region::contains(const Point& p) const {
    return xregion::containsPoint(&region, p.x, p.y, nullptr);
}

const RgnRect* Region::begin() const {
    return xregion::rects(&region);
}

const RgnRect* Region::end() const {
    return begin() + numRects();
}

std::vector<Rect> Region::rects() const {
    std::vector<Rect> list;
    list.reserve(std::size_t(numRects()));
    for (const RgnRect& r : *this)
        list.emplace_back(r);
    return list;
}

Region Region::alignedTo(const Point& multiple, const Point& origin) const {
    PLAT_ASSERT(multiple.x > 0 && multiple.y > 0);
    std::vector<Rect> widened;
    widened.reserve(std::size_t(numRects()));
    for (const RgnRect& r : *this)
        widened.emplace_back(clampToInt16(floorToGrid(r.left, origin.x, multiple.x)),
                             clampToInt16(floorToGrid(r.top, origin.y, multiple.y)),
                             clampToInt16(ceilToGrid(r.right, origin.x, multiple.x)),
                             clampToInt16(ceilToGrid(r.bottom, origin.y, multiple.y)));
    return unionOfList(widened);
}

void Region::read(rdr::InStream& in, int& state) {
    if (state < 0) {
        int count = in.readU16();
        RgnRect extents;
        extents.left = std::int16_t(in.readU16());
        extents.top = std::int16_t(in.readU16());
        extents.right = std::int16_t(in.readU16());
        extents.bottom = std::int16_t(in.readU16());
        in.setCheckpoint();
        if (count <= 1) {
            xregion::reset(&region, extents);
            return;
        }
        // The block is filled as rectangles arrive, so that a blocked read keeps what it has.
        xregion::startRects(&region, extents, count);
        state = 0;
    }
    RgnRect* list = region.data->rects();
    while (state < region.data->capacity) {
        RgnRect& r = list[state];
        r.left = std::int16_t(in.readU16());
        r.top = std::int16_t(in.readU16());
        r.right = std::int16_t(in.readU16());
        r.bottom = std::int16_t(in.readU16());
        in.setCheckpoint();
        region.data->count = ++state;
    }
    state = -1;
    repairIfInvalid();
}

void Region::write(rdr::OutStream& out) const {
    out.writeU16(std::uint16_t(numRects()));
    out.writeU16(std::uint16_t(region.extents.left));
    out.writeU16(std::uint16_t(region.extents.top));
    out.writeU16(std::uint16_t(region.extents.right));
    out.writeU16(std::uint16_t(region.extents.bottom));
    if (numRects() < 2)
        return;
    for (const RgnRect& r : *this) {
        out.writeU16(std::uint16_t(r.left));
        out.writeU16(std::uint16_t(r.top));
        out.writeU16(std::uint16_t(r.right));
        out.writeU16(std::uint16_t(r.bottom));
    }
}

plat::DString Region::dump() const {
    plat::DString text("");
    text.appendf("num rects %3d extents ", numRects());
    appendRect(text, "%s\n", getBoundingRect());
    for (const RgnRect& r : *this)
        appendRect(text, "    rect %s\n", Rect(r));
    return text;
}

void Region::repairIfInvalid() {
    if (xregion::isValid(&region))
        return;
    std::vector<Rect> list;
    list.reserve(std::size_t(xregion::numRects(&region)));
    for (const RgnRect *r = xregion::rects(&region), *e = r + xregion::numRects(&region); r != e;
         ++r)
        if (r->left < r->right && r->top < r->bottom)
            list.emplace_back(*r);
    *this = unionOfList(list);
}

TiledIterator::TiledIterator(const Region& region, std::int64_t maxArea, int step)
    : current(region.begin()), end(region.end()), maxArea(maxArea), step(step) {
    PLAT_ASSERT(step > 0);
    if (current != end)
        startRectangle();
}

void TiledIterator::startRectangle() {
    rect = Rect(*current);
    position = rect.tl;
    std::int64_t w = rect.width(), h = rect.height();
    if (w * h < maxArea) {
        tileWidth = int(w);
        tileHeight = int(h);
        return;
    }
    // Tiles are never smaller than step x step, so that every tile makes progress even when
    // the area limit is below step².
    auto roundDown = [this](std::int64_t value) {
        return std::max<std::int64_t>(step, value / step * step);
    };
    std::int64_t width = roundDown(maxArea / step), height = step;
    if (width > w) {
        width = w;
        height = roundDown(maxArea / w);
    }
    tileWidth = int(std::min<std::int64_t>(width, INT16_MAX * 2 + 1));
    tileHeight = int(std::min<std::int64_t>(height, INT16_MAX * 2 + 1));
}

bool TiledIterator::next(Rect& tile) {
    if (current == end)
        return false;
    tile = Rect(position, position.translate(Point(tileWidth, tileHeight))).intersect(rect);
    position.x += tileWidth;
    if (position.x >= rect.br.x) {
        position.x = rect.tl.x;
        position.y += tileHeight;
        if (position.y >= rect.br.y && ++current != end)
            startRectangle();
    }
    return true;
}

} // namespace rfb
