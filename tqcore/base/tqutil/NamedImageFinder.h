// The choice among a named image's variants (plain for ppmm 4, "@2x" for ppmm 8, explicitly
// sized "<name><w>x<h>") for a requested display size.
#pragma once

#include <rfb/Rect.h>

namespace tqutil {

class NamedImageFinder {
public:
    virtual ~NamedImageFinder() = default;
    // Loads the variant of that exact name; false (keeping what was loaded) when there is none.
    virtual bool tryLoad(const char* name) = 0;
    // The size of the image last loaded successfully.
    virtual rfb::Point naturalSize() const = 0;
    virtual bool found() const = 0;

    // Leaves the chosen variant loaded. size 0 x 0 asks for the natural size at the current
    // ppmm and receives it. Throws NamedImageBadSize when variants disagree with each other or
    // with the size their name states, NamedImageNotFound when no variant fits.
    void find(const char* name, rfb::Point& size);

    // round(natural × ppmm / scale) for each side, scale 4 for plain and 8 for "@2x" images.
    static rfb::Point displaySize(rfb::Point natural, int ppmm, int scale);
};

} // namespace tqutil
