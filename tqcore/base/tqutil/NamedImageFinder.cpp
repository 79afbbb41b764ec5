// Variant choice for named images.
#include <tqutil/NamedImageFinder.h>

#include <tqutil/displayScale.h>
#include <tqutil/imageExceptions.h>

#include <cstdint>
#include <string>

namespace tqutil {

namespace {

int roundedQuotient(std::int64_t value, int divisor) {
    return int(value >= 0 ? (value + divisor / 2) / divisor : -((-value + divisor / 2) / divisor));
}

} // namespace

rfb::Point NamedImageFinder::displaySize(rfb::Point natural, int ppmm, int scale) {
    return {roundedQuotient(std::int64_t(natural.x) * ppmm, scale),
            roundedQuotient(std::int64_t(natural.y) * ppmm, scale)};
}

void NamedImageFinder::find(const char* name, rfb::Point& size) {
    const int scale = ppmm().getValue();
    const std::string doubled = std::string(name) + "@2x";
    if (size == rfb::Point(0, 0)) {
        if (tryLoad(name)) {
            size = displaySize(naturalSize(), scale, 4);
            if (scale == 4)
                return;
        }
        if (tryLoad(doubled.c_str())) {
            rfb::Point doubledSize = displaySize(naturalSize(), scale, 8);
            if (size != rfb::Point(0, 0) && size != doubledSize)
                throw NamedImageBadSize("Badly sized image '%s': @2x/@1x images differ", name);
            size = doubledSize;
            if (scale == 8)
                return;
        }
        if (size == rfb::Point(0, 0))
            throw NamedImageNotFound(name);
    }
    std::string sized = std::string(name) + std::to_string(size.x) + "x" + std::to_string(size.y);
    if (tryLoad(sized.c_str())) {
        if (naturalSize() != size)
            throw NamedImageBadSize("Badly sized image '%s%dx%d'", name, size.x, size.y);
        return;
    }
    if (tryLoad(name) && naturalSize().x >= size.x)
        return;
    tryLoad(doubled.c_str());
    if (!found())
        throw NamedImageNotFound(name);
}

} // namespace tqutil
