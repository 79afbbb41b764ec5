// Points and rectangles in 32-bit pixel coordinates; a rectangle's bottom-right is exclusive.
#pragma once

#include <rfb/RgnRect.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace rfb {

struct Point {
    constexpr Point() = default;
    constexpr Point(int x, int y) : x(x), y(y) {}

    constexpr Point translate(const Point& offset) const { return {x + offset.x, y + offset.y}; }
    constexpr Point subtract(const Point& offset) const { return {x - offset.x, y - offset.y}; }
    constexpr bool operator==(const Point& other) const = default;

    int x = 0;
    int y = 0;
};

struct Rect {
    constexpr Rect() = default;
    constexpr Rect(const Point& tl, const Point& br) : tl(tl), br(br) {}
    constexpr Rect(int left, int top, int right, int bottom) : tl(left, top), br(right, bottom) {}
    constexpr explicit Rect(const RgnRect& r) : tl(r.left, r.top), br(r.right, r.bottom) {}

    // Clamps each coordinate to the 16-bit range of region rectangles.
    explicit operator RgnRect() const {
        return RgnRect{clamp16(tl.x), clamp16(tl.y), clamp16(br.x), clamp16(br.y)};
    }

    static constexpr Rect fromXYWH(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
    void setXYWH(int x, int y, int w, int h) { *this = fromXYWH(x, y, w, h); }

    // Negative for inverted rectangles; sizes and areas are counted in 64 bits by callers that
    // may meet coordinates at both ends of the 32-bit range.
    constexpr int width() const { return br.x - tl.x; }
    constexpr int height() const { return br.y - tl.y; }
    constexpr std::int64_t area() const {
        return isEmpty() ? 0 : (std::int64_t(br.x) - tl.x) * (std::int64_t(br.y) - tl.y);
    }
    constexpr bool isEmpty() const { return tl.x >= br.x || tl.y >= br.y; }

    constexpr bool encloses(const Rect& r) const {
        return tl.x <= r.tl.x && tl.y <= r.tl.y && br.x >= r.br.x && br.y >= r.br.y;
    }
    constexpr bool contains(const Point& p) const {
        return tl.x <= p.x && tl.y <= p.y && br.x > p.x && br.y > p.y;
    }
    constexpr bool overlaps(const Rect& r) const {
        return tl.x < r.br.x && tl.y < r.br.y && br.x > r.tl.x && br.y > r.tl.y;
    }
    // The common part; an empty result may have any coordinates.
    constexpr Rect intersect(const Rect& r) const {
        return {std::max(tl.x, r.tl.x), std::max(tl.y, r.tl.y), std::min(br.x, r.br.x),
                std::min(br.y, r.br.y)};
    }
    // The bounding box of both; an empty rectangle adds nothing.
    constexpr Rect unionBoundary(const Rect& r) const {
        if (r.isEmpty())
            return *this;
        if (isEmpty())
            return r;
        return {std::min(tl.x, r.tl.x), std::min(tl.y, r.tl.y), std::max(br.x, r.br.x),
                std::max(br.y, r.br.y)};
    }
    constexpr Rect translate(const Point& offset) const {
        return {tl.translate(offset), br.translate(offset)};
    }
    constexpr bool operator==(const Rect& other) const = default;

    // "left,top to right,bottom", cut at capacity.
    void print(char* buffer, std::size_t capacity) const;

    static constexpr std::int16_t clamp16(int value) {
        return std::int16_t(std::clamp(value, int(INT16_MIN), int(INT16_MAX)));
    }

    Point tl;
    Point br;
};

// A rectangle's text form in a buffer of its own, for messages.
struct RectText {
    explicit RectText(const Rect& r) { r.print(text, sizeof text); }
    const char* c_str() const { return text; }
    char text[48];
};

} // namespace rfb
