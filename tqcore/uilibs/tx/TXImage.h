// The back buffer of a window: a pixel buffer in the display's native true-colour format whose
// rectangles are put into windows with XPutImage.
#pragma once

#include <tx/xlib.h>

#include <rfb/ManagedPixelBuffer.h>

namespace tx {

class TXImage : public rfb::ManagedPixelBuffer {
public:
    // In the default visual's format; throws plat::Exception for visuals other than true colour
    // at 16 or 32 bits per pixel.
    TXImage(int width, int height);

    // Any client may set a window's size up to 65535: a side beyond the 16-bit coordinate range
    // of pixel buffers throws plat::Exception instead of failing an assertion.
    void setSize(const rfb::Point& size) override;

    // Puts rectangle r of the image at the same place in the window.
    void put(Window window, GC gc, const rfb::Rect& r);
};

} // namespace tx
