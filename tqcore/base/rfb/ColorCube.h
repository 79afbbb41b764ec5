// Colour cubes: colour maps whose entries are the levels of an r x g x b grid, standing in for
// the colour map of a colour-mapped display.
#pragma once

#include <rfb/ColourMap.h>

#include <plat/MBuf.h>

#include <cstdint>

namespace rfb {

class ColorCubeOrth : public ColourMap {
public:
    ColorCubeOrth(int redLevels, int greenLevels, int blueLevels);

    // Indices outside the cube are black.
    void lookup(int index, Rgb& rgb) const override;
    int size() const override { return redLevels * greenLevels * blueLevels; }
    int findNearest(const Rgb& rgb) const override;
    bool isOrthogonal() const override { return true; }

    // The colour of a cube index, also for subclasses that do not answer lookup().
    Rgb levelColour(int index) const;
    // The level nearest to a 0 to 255 channel value.
    static int nearestLevel(std::uint32_t c, int levels);
    int index(int red, int green, int blue) const {
        return (red * greenLevels + green) * blueLevels + blue;
    }

    const int redLevels;
    const int greenLevels;
    const int blueLevels;
};

// A cube whose colours were allocated on the display as pixels of their own: findNearest()
// answers the allocated pixel of the nearest cube colour.
class ColorCubePlusTable : public ColorCubeOrth {
public:
    ColorCubePlusTable(int redLevels, int greenLevels, int blueLevels, bool wipe = false);

    // Not supported: the pixels are display colours, not indices of this map.
    void lookup(int index, Rgb& rgb) const override;
    int findNearest(const Rgb& rgb) const override;
    bool isOrthogonal() const override { return false; }

    // The pixel allocated for a cube index.
    void setPixel(int index, std::uint32_t pixel) { table[std::uint32_t(index)] = pixel; }
    std::uint32_t pixelOf(int index) const { return table[std::uint32_t(index)]; }

private:
    plat::MBuf<std::uint32_t> table;
};

} // namespace rfb
