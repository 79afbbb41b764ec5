// Anything that can produce the pixels of a rectangle into caller memory.
#pragma once

#include <rfb/Rect.h>

namespace rfb {

class ImageGetter {
public:
    virtual ~ImageGetter() = default;
    // Rows land destStride pixels apart; 0 means the rectangle's width.
    virtual void getImage(void* dest, const Rect& rect, int destStride = 0) = 0;
};

} // namespace rfb
