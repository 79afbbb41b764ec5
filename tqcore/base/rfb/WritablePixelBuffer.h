// The writable pixel buffer: filling, copying in and masked drawing, all clipped to the buffer.
#pragma once

#include <rfb/PixelBuffer.h>

namespace rfb {

class WritablePixelBuffer : public PixelBuffer {
public:
    using PixelBuffer::PixelBuffer;

    // Writable pointer to the pixel at r's top-left; *stride (when asked) in pixels.
    virtual std::uint8_t* getPixelsRW(const Rect& r, int* stride) = 0;

    // The operations below work at 8, 16, 24 and 32 bpp and write nothing at other sizes.
    void fillRect(const Rect& r, std::uint32_t pixel);
    // Four bands of the given thickness along the inside of r's edges.
    void drawRectOutline(const Rect& r, std::uint32_t pixel, int thickness);
    // Copies pixels laid out for r (rows srcStride pixels apart, 0 meaning r's width).
    void imageRect(const Rect& r, const void* pixels, int srcStride = 0);
    // Writes colour where the 1-bit mask (most significant bit first) is set. The bit for
    // column c of r (counted from r's left) is bit maskX + c of its row; rows lie maskStride
    // bytes apart, 0 meaning (r's width + 7) / 8.
    void maskRect(const Rect& r, std::uint32_t colour, const void* bits, int maskStride = 0,
                  int maskX = 0);
    // Commits the whole buffer.
    void commitAll();
};

} // namespace rfb
