// A writable pixel buffer over memory that somebody else owns: a pointer to the top-left pixel
// and a row stride.
#pragma once

#include <rfb/WritablePixelBuffer.h>

namespace rfb {

class FullFramePixelBuffer : public WritablePixelBuffer {
public:
    // A stride of 0 means the rectangle's width.
    FullFramePixelBuffer(const PixelFormat& pf, const Rect& rect, ColourMap* colourMap,
                         std::uint8_t* data, int stride = 0);
    // A view of source's pixels in r, clipped to source, in coordinates relative to r's top-left.
    FullFramePixelBuffer(WritablePixelBuffer& source, const Rect& r);

    const std::uint8_t* getPixelsR(const Rect& r, int* stride) override {
        return getPixelsRW(r, stride);
    }
    // Null for an empty r; r outside the buffer is a caller error (assertion).
    std::uint8_t* getPixelsRW(const Rect& r, int* stride) override;

    // In the buffer's own coordinates; 0 and nothing at sizes other than 8, 16, 24 and 32 bpp.
    std::uint32_t getPixel(const Point& p);
    void setPixel(const Point& p, std::uint32_t value);

    int getStride() const { return stride; }

protected:
    std::uint8_t* data;
    int stride;
};

} // namespace rfb
