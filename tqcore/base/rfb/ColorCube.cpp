// Level arithmetic of colour cubes.
#include <rfb/ColorCube.h>

#include <plat/Exception.h>

namespace rfb {

namespace {

std::uint32_t levelTo255(int level, int levels) {
    if (levels <= 1)
        return 0;
    return std::uint32_t((level * 255 + (levels - 1) / 2) / (levels - 1));
}

} // namespace

ColorCubeOrth::ColorCubeOrth(int redLevels, int greenLevels, int blueLevels)
    : redLevels(redLevels), greenLevels(greenLevels), blueLevels(blueLevels) {
    PLAT_ASSERT(redLevels > 0 && greenLevels > 0 && blueLevels > 0);
}

void ColorCubeOrth::lookup(int index, Rgb& rgb) const {
    // Maps of fewer than 256 entries are still asked about every 8-bit pixel value.
    if (index < 0 || index >= size()) {
        rgb = Rgb();
        return;
    }
    rgb = levelColour(index);
}

Rgb ColorCubeOrth::levelColour(int index) const {
    int b = index % blueLevels;
    int g = (index / blueLevels) % greenLevels;
    int r = index / (blueLevels * greenLevels);
    return Rgb{levelTo255(r, redLevels), levelTo255(g, greenLevels), levelTo255(b, blueLevels)};
}

int ColorCubeOrth::nearestLevel(std::uint32_t c, int levels) {
    return int(((c > 255 ? 255 : c) * std::uint32_t(levels - 1) + 127) / 255);
}

int ColorCubeOrth::findNearest(const Rgb& rgb) const {
    return index(nearestLevel(rgb.r, redLevels), nearestLevel(rgb.g, greenLevels),
                 nearestLevel(rgb.b, blueLevels));
}

ColorCubePlusTable::ColorCubePlusTable(int redLevels, int greenLevels, int blueLevels, bool wipe)
    : ColorCubeOrth(redLevels, greenLevels, blueLevels),
      table(std::uint32_t(redLevels * greenLevels * blueLevels), wipe) {}

void ColorCubePlusTable::lookup(int, Rgb&) const {
    PLAT_ASSERT(false);
}

int ColorCubePlusTable::findNearest(const Rgb& rgb) const {
    return int(table[std::uint32_t(ColorCubeOrth::findNearest(rgb))]);
}

} // namespace rfb
