// A source of one image of known size and format (a decoded file, a scaled image) that writes
// itself into a pixel buffer.
#pragma once

#include <rfb/PixelFormat.h>
#include <rfb/Rect.h>

namespace rfb {

class WritablePixelBuffer;

class ImageLoader {
public:
    virtual ~ImageLoader() = default;
    // The width and height load() produces.
    virtual Point getSize() const = 0;
    virtual PixelFormat getPf() const = 0;
    // Writes the image with its top-left at offset into a buffer of format getPf().
    virtual void load(WritablePixelBuffer* pb, Point offset) = 0;
};

} // namespace rfb
