// Allocation, reuse and adoption of a managed buffer's memory.
#include <rfb/ManagedPixelBuffer.h>

#include <rfb/ImageLoader.h>

#include <plat/Exception.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace rfb {

namespace {

std::size_t bytesFor(const PixelFormat& pf, const Rect& r) {
    if (r.isEmpty())
        return 0;
    return std::size_t(pf.bytesPerPixel()) * std::size_t(r.area());
}

} // namespace

ManagedPixelBuffer::ManagedPixelBuffer()
    : ConfigurablePixelBuffer(PixelFormat(), Rect(), nullptr, nullptr, 0) {}

ManagedPixelBuffer::ManagedPixelBuffer(ImageLoader* loader) : ManagedPixelBuffer() {
    setPF(loader->getPf());
    setSize(loader->getSize());
    loader->load(this, Point(0, 0));
}

ManagedPixelBuffer::~ManagedPixelBuffer() {
    freeData();
}

void ManagedPixelBuffer::setPF(const PixelFormat& newPf) {
    if (newPf.equal(pf))
        return;
    PixelFormat old = pf;
    pf = newPf;
    try {
        reallocate(rect);
    } catch (...) {
        pf = old;
        throw;
    }
}

void ManagedPixelBuffer::setSize(const Point& size) {
    Rect newRect(rect.tl, rect.tl.translate(Point(std::max(size.x, 0), std::max(size.y, 0))));
    if (newRect == rect)
        return;
    // The new layout may reuse the same memory with another stride, so the shared pixels are
    // kept in a block of their own until the memory has been laid out again.
    Rect kept = preserveContents ? rect.intersect(newRect) : Rect();
    std::unique_ptr<std::uint8_t[]> saved;
    if (!kept.isEmpty()) {
        saved.reset(new std::uint8_t[bytesFor(pf, kept)]);
        getImage(saved.get(), kept);
    }
    reallocate(newRect);
    if (saved)
        imageRect(kept, saved.get());
}

void ManagedPixelBuffer::reallocate(const Rect& newRect) {
    std::size_t required = bytesFor(pf, newRect);
    if (required == 0) {
        freeData();
    } else if (required > capacity_) {
        // Everything the buffer holds must be expressible as a region when it is committed.
        if (Rect(RgnRect(newRect)) != newRect)
            plat::AssertionFail("Rect(RgnRect(rect)) == rect", __FILE__, __LINE__).fail();
        auto* memory = new std::uint8_t[required];
        freeData();
        data = memory;
        capacity_ = required;
    }
    rect = newRect;
    stride = newRect.isEmpty() ? 0 : newRect.width();
    if (required)
        std::memset(data, 0, required);
}

void ManagedPixelBuffer::setData(std::uint8_t* memory, std::size_t capacity) {
    setData(memory, capacity, rect);
}

void ManagedPixelBuffer::setData(std::uint8_t* memory, std::size_t capacity, const Rect& r) {
    if (memory != data)
        freeData();
    data = memory;
    capacity_ = capacity;
    rect = r;
    stride = r.isEmpty() ? 0 : r.width();
    PLAT_ASSERT(capacity_ >= sizeBytes());
}

std::uint8_t* ManagedPixelBuffer::releaseData() {
    std::uint8_t* memory = data;
    data = nullptr;
    capacity_ = 0;
    rect = Rect(rect.tl, rect.tl);
    stride = 0;
    return memory;
}

std::size_t ManagedPixelBuffer::sizeBytes() const {
    if (rect.isEmpty())
        return 0;
    return std::size_t(pf.bytesPerPixel()) * std::size_t(stride) * std::size_t(rect.height());
}

void ManagedPixelBuffer::freeData() {
    delete[] data;
    data = nullptr;
    capacity_ = 0;
}

} // namespace rfb
