// Drawing helpers shared by the widgets: colours as pixel values of a buffer, views of a buffer in
// a widget's coordinates, rounded outlines and alpha compositing of images.
#pragma once

#include <rfb/FullFramePixelBuffer.h>

#include <plat/colorTable.h>

#include <cstdint>

namespace wvw {

// The pixel value of a colour in the buffer's format: scaled into each channel of a true-colour
// format, else the nearest entry of the buffer's colour map (0 without one).
std::uint32_t pixelOf(const rfb::PixelBuffer& pb, const plat::Rgb& colour);
plat::Rgb colourOf(const rfb::PixelBuffer& pb, std::uint32_t pixel);

// A view of the pixels of pb that lie in area (pb's coordinates), addressed so that origin (pb's
// coordinates) becomes 0,0. Its rectangle is area clipped to pb, moved by -origin; it may be empty.
rfb::FullFramePixelBuffer viewOf(rfb::FullFramePixelBuffer& pb, const rfb::Rect& area,
                                 const rfb::Point& origin);

// A one-pixel outline along the inside of r with corners cut to the radius (0 to 3).
void drawRoundedOutline(rfb::WritablePixelBuffer& pb, const rfb::Rect& r, int radius,
                        std::uint32_t pixel);

// Composites a premultiplied image (with or without alpha) at position; greyed blends each pixel
// half way to its grey value first, as disabled controls show.
void compositeImage(rfb::FullFramePixelBuffer& pb, rfb::PixelBuffer& image,
                    const rfb::Point& position, bool greyed = false);

} // namespace wvw
