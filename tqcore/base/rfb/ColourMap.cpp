// Nearest-colour search and copying of colour maps.
#include <rfb/ColourMap.h>

#include <algorithm>

namespace rfb {

namespace {

std::int64_t squaredDistance(const Rgb& a, const Rgb& b) {
    std::int64_t dr = std::int64_t(a.r) - b.r, dg = std::int64_t(a.g) - b.g,
                 db = std::int64_t(a.b) - b.b;
    return dr * dr + dg * dg + db * db;
}

} // namespace

ColourMap::~ColourMap() = default;

int ColourMap::findNearest(const Rgb& rgb) const {
    int best = 0;
    std::int64_t bestDistance = INT64_MAX;
    for (int i = 0, n = size(); i < n; ++i) {
        Rgb entry;
        lookup(i, entry);
        std::int64_t distance = squaredDistance(entry, rgb);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

void ColourMapRW::copyFrom(const ColourMap& other) {
    // Entries beyond this map's size would be lost or land outside it.
    for (int i = 0, n = std::min(size(), other.size()); i < n; ++i) {
        Rgb entry;
        other.lookup(i, entry);
        set(i, entry);
    }
}

} // namespace rfb
