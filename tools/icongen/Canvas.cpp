// Supersampled painting: coverage is decided per sample, colours are averaged per pixel.
#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace icongen {

namespace {

double segmentDistance(double px, double py, double x0, double y0, double x1, double y1) {
    double dx = x1 - x0, dy = y1 - y0;
    double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((px - x0) * dx + (py - y0) * dy) / lengthSquared : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
}

double cross(double ax, double ay, double bx, double by, double px, double py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

std::uint8_t toByte(double value) {
    return std::uint8_t(std::lround(std::clamp(value, 0.0, 1.0) * 255));
}

} // namespace

Shape circle(double cx, double cy, double radius) {
    return [=](double x, double y) { return std::hypot(x - cx, y - cy) <= radius; };
}

Shape arc(double cx, double cy, double radius, double thickness, double from, double to) {
    return [=](double x, double y) {
        if (std::abs(std::hypot(x - cx, y - cy) - radius) > thickness / 2)
            return false;
        double angle = std::atan2(y - cy, x - cx);
        if (angle < 0)
            angle += 2 * std::numbers::pi;
        return from <= to ? angle >= from && angle <= to : angle >= from || angle <= to;
    };
}

Shape capsule(double x0, double y0, double x1, double y1, double radius) {
    return [=](double x, double y) { return segmentDistance(x, y, x0, y0, x1, y1) <= radius; };
}

Shape roundedRect(double left, double top, double right, double bottom, double radius) {
    return [=](double x, double y) {
        double nearestX = std::clamp(x, left + radius, right - radius);
        double nearestY = std::clamp(y, top + radius, bottom - radius);
        return std::hypot(x - nearestX, y - nearestY) <= radius;
    };
}

Shape roundedTriangle(double ax, double ay, double bx, double by, double cx, double cy,
                      double radius) {
    return [=](double x, double y) {
        double ab = cross(ax, ay, bx, by, x, y), bc = cross(bx, by, cx, cy, x, y),
               ca = cross(cx, cy, ax, ay, x, y);
        if ((ab >= 0 && bc >= 0 && ca >= 0) || (ab <= 0 && bc <= 0 && ca <= 0))
            return true;
        double distance =
            std::min({segmentDistance(x, y, ax, ay, bx, by), segmentDistance(x, y, bx, by, cx, cy),
                      segmentDistance(x, y, cx, cy, ax, ay)});
        return distance <= radius;
    };
}

Shape unite(Shape a, Shape b) {
    return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) || b(x, y); };
}

Paint solid(Colour colour) {
    return [=](double, double) { return colour; };
}

Paint verticalGradient(double y0, Colour top, double y1, Colour bottom) {
    return [=](double, double y) {
        double t = std::clamp((y - y0) / (y1 - y0), 0.0, 1.0);
        return Colour{top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t,
                      top.b + (bottom.b - top.b) * t, top.a + (bottom.a - top.a) * t};
    };
}

Canvas::Canvas(int width, int height, int samplesPerAxis)
    : width_(width), height_(height), samples(samplesPerAxis),
      layer(std::size_t(width) * std::size_t(height) * std::size_t(samplesPerAxis) *
            std::size_t(samplesPerAxis) * 4) {}

void Canvas::fill(const Shape& shape, const Paint& paint) {
    int columns = width_ * samples;
    for (int sy = 0; sy < height_ * samples; ++sy) {
        double y = (sy + 0.5) / samples;
        for (int sx = 0; sx < columns; ++sx) {
            double x = (sx + 0.5) / samples;
            if (!shape(x, y))
                continue;
            Colour c = paint(x, y);
            double* sample = &layer[(std::size_t(sy) * std::size_t(columns) + std::size_t(sx)) * 4];
            double keep = 1 - c.a;
            sample[0] = c.r * c.a + sample[0] * keep;
            sample[1] = c.g * c.a + sample[1] * keep;
            sample[2] = c.b * c.a + sample[2] * keep;
            sample[3] = c.a + sample[3] * keep;
        }
    }
}

std::vector<std::uint8_t> Canvas::rgba() const {
    std::vector<std::uint8_t> out;
    out.reserve(std::size_t(width_) * std::size_t(height_) * 4);
    int columns = width_ * samples;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            double sum[4] = {};
            for (int sy = y * samples; sy < (y + 1) * samples; ++sy)
                for (int sx = x * samples; sx < (x + 1) * samples; ++sx)
                    for (int i = 0; i < 4; ++i)
                        sum[i] +=
                            layer[(std::size_t(sy) * std::size_t(columns) + std::size_t(sx)) * 4 +
                                  std::size_t(i)];
            double alpha = sum[3] / (samples * samples);
            for (int i = 0; i < 3; ++i)
                out.push_back(alpha > 0 ? toByte(sum[i] / sum[3]) : 0);
            out.push_back(toByte(alpha));
        }
    }
    return out;
}

} // namespace icongen
