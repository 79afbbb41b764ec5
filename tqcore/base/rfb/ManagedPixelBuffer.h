// A pixel buffer that owns its memory and reallocates it when its format or size changes.
#pragma once

#include <rfb/ConfigurablePixelBuffer.h>

#include <cstddef>

namespace rfb {

class ImageLoader;

class ManagedPixelBuffer : public ConfigurablePixelBuffer {
public:
    // Empty, 8 bpp bgr233, at 0,0.
    ManagedPixelBuffer();
    // In the loader's format and size, holding the loaded image.
    explicit ManagedPixelBuffer(ImageLoader* loader);
    ~ManagedPixelBuffer() override;
    ManagedPixelBuffer(const ManagedPixelBuffer&) = delete;
    ManagedPixelBuffer& operator=(const ManagedPixelBuffer&) = delete;

    // Both zero-fill the pixels when something changes; setSize then copies back the pixels
    // the old and new rectangles share when preserve-contents is set. A negative side makes the
    // buffer empty. A failed allocation throws std::bad_alloc and leaves the buffer as it was.
    void setPF(const PixelFormat& pf) override;
    void setSize(const Point& size) override;
    virtual void setColourMap(ColourMap* map) { colourMap = map; }

    void setPreserveContents(bool preserve) { preserveContents = preserve; }

    // Adopts memory allocated with new std::uint8_t[] that holds at least sizeBytes(); the old
    // memory is freed. The second form also moves the rectangle.
    void setData(std::uint8_t* memory, std::size_t capacity);
    void setData(std::uint8_t* memory, std::size_t capacity, const Rect& r);
    // Hands the memory (release with delete[]) to the caller and leaves the buffer empty at its
    // top-left.
    std::uint8_t* releaseData();

    // Bytes the pixels take: bytes per pixel × stride × height.
    std::size_t sizeBytes() const;
    std::size_t capacity() const { return capacity_; }

private:
    // Lays the memory out for the current format and newRect, zero-filled.
    void reallocate(const Rect& newRect);
    void freeData();

    bool preserveContents = false;
    std::size_t capacity_ = 0;
};

} // namespace rfb
