// Named images as pixel buffers, shared through a process-wide cache per name and size.
#pragma once

#include <rfb/ManagedPixelBuffer.h>

#include <memory>

namespace tqutil {

class NamedImagePixelBuffer : public rfb::ManagedPixelBuffer {
public:
    // Loads the image with premultiplied alpha; an image that cannot be loaded leaves the buffer
    // empty (0 x 0) and is logged under "NamedImagePixelBuffer": size mismatches at level 0,
    // other failures at level 100 when logFailures is set. Never throws.
    NamedImagePixelBuffer(const char* name, rfb::Point size, bool logFailures);

    // The size it was asked for; 0 x 0 asked for the natural size.
    rfb::Point requestedSize() const { return requested; }
    bool naturalSize() const { return requested == rfb::Point(0, 0); }
    bool isEmpty() const { return width() <= 0 || height() <= 0; }

private:
    rfb::Point requested;
};

// The cached image of that name at that size (0 x 0: its natural size), loaded on the first
// request; an image that could not be loaded is an empty buffer. With a dark desktop background
// a "<name>_darkbg" variant is preferred where one exists.
std::shared_ptr<NamedImagePixelBuffer> getNamedImage(const char* name, rfb::Point size);

// Sets pb to the named image's format and final size and loads it there (premultiplied). On
// failure pb is left empty (0 x 0) and the exception passes on: NamedImageBadSize,
// NamedImageNotFound, PngException, std::bad_alloc.
void loadNamedImage(rfb::ManagedPixelBuffer* pb, const char* name, rfb::Point size);

} // namespace tqutil
