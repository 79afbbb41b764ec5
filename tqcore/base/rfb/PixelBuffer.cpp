// Copying pixels out of a read-only buffer.
#include <rfb/PixelBuffer.h>

#include <rfb/Region.h>

#include <cstring>

namespace rfb {

PixelBuffer::PixelBuffer(const PixelFormat& pf, const Rect& rect, ColourMap* colourMap)
    : pf(pf), rect(rect), colourMap(colourMap) {}

PixelBuffer::~PixelBuffer() = default;

void PixelBuffer::getImage(void* dest, const Rect& r, int destStride) {
    if (r.isEmpty())
        return;
    int srcStride = 0;
    const std::uint8_t* src = getPixelsR(r, &srcStride);
    if (destStride == 0)
        destStride = r.width();
    std::size_t bytesPerPixel = std::size_t(pf.bytesPerPixel());
    std::size_t rowBytes = bytesPerPixel * std::size_t(r.width());
    auto* out = static_cast<std::uint8_t*>(dest);
    for (int y = 0; y < r.height(); ++y) {
        std::memcpy(out, src, rowBytes);
        out += bytesPerPixel * std::size_t(destStride);
        src += bytesPerPixel * std::size_t(srcStride);
    }
}

void PixelBuffer::commit(const Region&) {}

} // namespace rfb
