// Pixel addressing in caller memory.
#include <rfb/FullFramePixelBuffer.h>

#include <plat/Exception.h>

#include <cstring>

namespace rfb {

FullFramePixelBuffer::FullFramePixelBuffer(const PixelFormat& pf, const Rect& rect,
                                           ColourMap* colourMap, std::uint8_t* data, int stride)
    : WritablePixelBuffer(pf, rect, colourMap), data(data), stride(stride ? stride : rect.width()) {
}

FullFramePixelBuffer::FullFramePixelBuffer(WritablePixelBuffer& source, const Rect& r)
    : WritablePixelBuffer(source.getPf(), Rect(), source.getColourMap()), data(nullptr), stride(0) {
    Rect clipped = r.intersect(source.getRect());
    if (clipped.isEmpty())
        return;
    data = source.getPixelsRW(clipped, &stride);
    rect = clipped.translate(Point(-r.tl.x, -r.tl.y));
}

std::uint8_t* FullFramePixelBuffer::getPixelsRW(const Rect& r, int* strideOut) {
    if (strideOut)
        *strideOut = stride;
    if (r.isEmpty())
        return nullptr;
    if (!rect.encloses(r)) {
        RectText inner(r), outer(rect);
        PLAT_ASSERT_INFO(rect.encloses(r), "getPixelsRW out of bounds: %s outside %s",
                         inner.c_str(), outer.c_str());
    }
    // 64-bit offsets: rows of large buffers lie more than 2 GiB apart from the first.
    std::ptrdiff_t pixels = (std::ptrdiff_t(r.tl.x) - rect.tl.x) +
                            (std::ptrdiff_t(r.tl.y) - rect.tl.y) * std::ptrdiff_t(stride);
    return data + pixels * pf.bytesPerPixel();
}

std::uint32_t FullFramePixelBuffer::getPixel(const Point& p) {
    const std::uint8_t* at = getPixelsRW(Rect(p, p.translate(Point(1, 1))), nullptr);
    switch (pf.bpp) {
    case 8:
        return *at;
    case 16: {
        std::uint16_t value;
        std::memcpy(&value, at, 2);
        return value;
    }
    case 24:
        return at[0] | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16;
    case 32: {
        std::uint32_t value;
        std::memcpy(&value, at, 4);
        return value;
    }
    }
    return 0;
}

void FullFramePixelBuffer::setPixel(const Point& p, std::uint32_t value) {
    std::uint8_t* at = getPixelsRW(Rect(p, p.translate(Point(1, 1))), nullptr);
    switch (pf.bpp) {
    case 8:
        *at = std::uint8_t(value);
        break;
    case 16: {
        auto narrow = std::uint16_t(value);
        std::memcpy(at, &narrow, 2);
        break;
    }
    case 24:
        at[0] = std::uint8_t(value);
        at[1] = std::uint8_t(value >> 8);
        at[2] = std::uint8_t(value >> 16);
        break;
    case 32:
        std::memcpy(at, &value, 4);
        break;
    }
}

} // namespace rfb
