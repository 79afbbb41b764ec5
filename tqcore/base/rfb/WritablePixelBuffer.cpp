// Clipped writing into pixel buffers, one row at a time.
#include <rfb/WritablePixelBuffer.h>

#include <rfb/Region.h>

#include <algorithm>
#include <cstring>

namespace rfb {

namespace {

// 24-bit pixels are three bytes, least significant first, whatever the format's byte order.
void store24(std::uint8_t* p, std::uint32_t pixel) {
    p[0] = std::uint8_t(pixel);
    p[1] = std::uint8_t(pixel >> 8);
    p[2] = std::uint8_t(pixel >> 16);
}

template <typename T>
void fillRows(std::uint8_t* row, int width, int height, std::ptrdiff_t strideBytes,
              std::uint32_t pixel) {
    for (int y = 0; y < height; ++y, row += strideBytes)
        std::fill_n(reinterpret_cast<T*>(row), width, T(pixel));
}

void fillRows24(std::uint8_t* row, int width, int height, std::ptrdiff_t strideBytes,
                std::uint32_t pixel) {
    for (int x = 0; x < width; ++x)
        store24(row + 3 * x, pixel);
    for (int y = 1; y < height; ++y)
        std::memcpy(row + y * strideBytes, row, std::size_t(width) * 3);
}

template <typename T>
void maskRows(std::uint8_t* row, std::ptrdiff_t strideBytes, const Rect& clipped, const Rect& r,
              std::uint32_t colour, const std::uint8_t* bits, std::ptrdiff_t maskStride,
              int maskX) {
    for (int y = clipped.tl.y; y < clipped.br.y; ++y, row += strideBytes) {
        const std::uint8_t* maskRow = bits + (std::int64_t(y) - r.tl.y) * maskStride;
        for (int x = clipped.tl.x; x < clipped.br.x; ++x) {
            std::int64_t bit = std::int64_t(maskX) + (std::int64_t(x) - r.tl.x);
            if (!(maskRow[bit >> 3] & (0x80 >> (bit & 7))))
                continue;
            std::uint8_t* p = row + std::ptrdiff_t(x - clipped.tl.x) * std::ptrdiff_t(sizeof(T));
            if constexpr (sizeof(T) == 3)
                store24(p, colour);
            else
                *reinterpret_cast<T*>(p) = T(colour);
        }
    }
}

struct Pixel24 {
    std::uint8_t bytes[3];
};

} // namespace

void WritablePixelBuffer::fillRect(const Rect& r, std::uint32_t pixel) {
    Rect clipped = r.intersect(rect);
    if (clipped.isEmpty())
        return;
    int stride = 0;
    std::uint8_t* row = getPixelsRW(clipped, &stride);
    std::ptrdiff_t strideBytes = std::ptrdiff_t(stride) * pf.bytesPerPixel();
    int w = clipped.width(), h = clipped.height();
    switch (pf.bpp) {
    case 8:
        fillRows<std::uint8_t>(row, w, h, strideBytes, pixel);
        break;
    case 16:
        fillRows<std::uint16_t>(row, w, h, strideBytes, pixel);
        break;
    case 24:
        fillRows24(row, w, h, strideBytes, pixel);
        break;
    case 32:
        fillRows<std::uint32_t>(row, w, h, strideBytes, pixel);
        break;
    }
}

void WritablePixelBuffer::drawRectOutline(const Rect& r, std::uint32_t pixel, int thickness) {
    fillRect(Rect(r.tl.x, r.tl.y, r.br.x, r.tl.y + thickness), pixel);
    fillRect(Rect(r.tl.x, r.tl.y, r.tl.x + thickness, r.br.y), pixel);
    fillRect(Rect(r.tl.x, r.br.y - thickness, r.br.x, r.br.y), pixel);
    fillRect(Rect(r.br.x - thickness, r.tl.y, r.br.x, r.br.y), pixel);
}

void WritablePixelBuffer::imageRect(const Rect& r, const void* pixels, int srcStride) {
    Rect clipped = r.intersect(rect);
    if (clipped.isEmpty())
        return;
    if (srcStride == 0)
        srcStride = r.width();
    std::ptrdiff_t bytesPerPixel = pf.bytesPerPixel();
    std::ptrdiff_t srcStrideBytes = std::ptrdiff_t(srcStride) * bytesPerPixel;
    const auto* src = static_cast<const std::uint8_t*>(pixels) +
                      (std::ptrdiff_t(clipped.tl.y) - r.tl.y) * srcStrideBytes +
                      (std::ptrdiff_t(clipped.tl.x) - r.tl.x) * bytesPerPixel;
    int stride = 0;
    std::uint8_t* dest = getPixelsRW(clipped, &stride);
    std::ptrdiff_t destStrideBytes = std::ptrdiff_t(stride) * bytesPerPixel;
    std::size_t rowBytes = std::size_t(clipped.width()) * std::size_t(bytesPerPixel);
    int height = clipped.height();
    if (std::ptrdiff_t(rowBytes) == srcStrideBytes && srcStrideBytes == destStrideBytes) {
        std::memcpy(dest, src, rowBytes * std::size_t(height));
        return;
    }
    for (int y = 0; y < height; ++y, src += srcStrideBytes, dest += destStrideBytes)
        std::memcpy(dest, src, rowBytes);
}

void WritablePixelBuffer::maskRect(const Rect& r, std::uint32_t colour, const void* bits,
                                   int maskStride, int maskX) {
    Rect clipped = r.intersect(rect);
    if (clipped.isEmpty())
        return;
    if (maskStride == 0)
        maskStride = (r.width() + 7) / 8;
    int stride = 0;
    std::uint8_t* row = getPixelsRW(clipped, &stride);
    std::ptrdiff_t strideBytes = std::ptrdiff_t(stride) * pf.bytesPerPixel();
    const auto* mask = static_cast<const std::uint8_t*>(bits);
    switch (pf.bpp) {
    case 8:
        maskRows<std::uint8_t>(row, strideBytes, clipped, r, colour, mask, maskStride, maskX);
        break;
    case 16:
        maskRows<std::uint16_t>(row, strideBytes, clipped, r, colour, mask, maskStride, maskX);
        break;
    case 24:
        maskRows<Pixel24>(row, strideBytes, clipped, r, colour, mask, maskStride, maskX);
        break;
    case 32:
        maskRows<std::uint32_t>(row, strideBytes, clipped, r, colour, mask, maskStride, maskX);
        break;
    }
}

void WritablePixelBuffer::commitAll() {
    commit(Region(rect));
}

} // namespace rfb
