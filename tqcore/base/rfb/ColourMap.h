// Colour maps: what the pixel values of a colour-map format stand for.
#pragma once

#include <cstdint>

namespace rfb {

// A colour on the scale 0 to 255 per channel.
struct Rgb {
    std::uint32_t r = 0;
    std::uint32_t g = 0;
    std::uint32_t b = 0;
    bool operator==(const Rgb& other) const = default;
};

class ColourMap {
public:
    virtual ~ColourMap();
    virtual void lookup(int index, Rgb& rgb) const = 0;
    virtual int size() const = 0;
    // The index of the nearest entry (squared distance; the lowest index on ties), 0 for an empty
    // map.
    virtual int findNearest(const Rgb& rgb) const;
    // Whether entries are the levels of a colour cube, so that indices can be computed.
    virtual bool isOrthogonal() const { return false; }
};

class ColourMapRW : public ColourMap {
public:
    virtual void set(int index, const Rgb& rgb) = 0;
    // Copies the entries both maps have.
    void copyFrom(const ColourMap& other);
};

} // namespace rfb
