// The read-only pixel buffer: a rectangle of pixels in one format that hands out row pointers.
#pragma once

#include <rfb/ColourMap.h>
#include <rfb/ImageGetter.h>
#include <rfb/PixelFormat.h>
#include <rfb/Rect.h>

#include <cstdint>

namespace rfb {

class Region;

class PixelBuffer : public ImageGetter {
public:
    PixelBuffer(const PixelFormat& pf, const Rect& rect, ColourMap* colourMap);
    ~PixelBuffer() override;

    // Copies row by row through getPixelsR.
    void getImage(void* dest, const Rect& r, int destStride = 0) override;
    virtual ColourMap* getColourMap() const { return colourMap; }
    // The pixel at r's top-left; *stride (when asked) receives the row distance in pixels.
    virtual const std::uint8_t* getPixelsR(const Rect& r, int* stride) = 0;
    // Tells the buffer that the pixels of the region changed.
    virtual void commit(const Region& region);
    // The native image behind a buffer that is shown on the display; none here.
    virtual void* getNativeImage() { return nullptr; }

    const PixelFormat& getPf() const { return pf; }
    const Rect& getRect() const { return rect; }
    int width() const { return rect.width(); }
    int height() const { return rect.height(); }
    Point getSize() const { return {width(), height()}; }

protected:
    PixelFormat pf;
    Rect rect;
    // Not owned.
    ColourMap* colourMap;
};

} // namespace rfb
