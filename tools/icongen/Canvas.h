// An RGBA image painted with anti-aliased shapes: every pixel is the average of a grid of
// samples, each of which the layers cover fully or not at all.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace icongen {

struct Colour {
    double r, g, b, a; // 0 to 1, not premultiplied
};

// Inside tests in pixel coordinates (x to the right, y down; pixel (0,0) spans 0..1).
using Shape = std::function<bool(double x, double y)>;
// The colour at a point, for gradients.
using Paint = std::function<Colour(double x, double y)>;

Shape circle(double cx, double cy, double radius);
// Within thickness / 2 of the circle's outline, between the angles (radians, clockwise from the
// positive x axis because y points down; from may exceed to, the arc then wraps through 0).
Shape arc(double cx, double cy, double radius, double thickness, double from, double to);
// Within radius of the segment from (x0,y0) to (x1,y1): a stroke with round ends.
Shape capsule(double x0, double y0, double x1, double y1, double radius);
Shape roundedRect(double left, double top, double right, double bottom, double radius);
// Within radius of the triangle: a triangle with rounded corners.
Shape roundedTriangle(double ax, double ay, double bx, double by, double cx, double cy,
                      double radius);
Shape unite(Shape a, Shape b);

Paint solid(Colour colour);
// From top (at y0) to bottom (at y1), clamped outside.
Paint verticalGradient(double y0, Colour top, double y1, Colour bottom);

class Canvas {
public:
    Canvas(int width, int height, int samplesPerAxis = 8);

    // Composites the paint over what is there, wherever the shape covers a sample.
    void fill(const Shape& shape, const Paint& paint);

    int width() const { return width_; }
    int height() const { return height_; }
    // Rows top to bottom, 4 bytes per pixel (red, green, blue, alpha), not premultiplied.
    std::vector<std::uint8_t> rgba() const;

private:
    int width_;
    int height_;
    int samples;
    // Premultiplied red, green, blue, alpha per sample.
    std::vector<double> layer;
};

} // namespace icongen
