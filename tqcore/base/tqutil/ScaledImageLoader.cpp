// Scaled loading through a scratch buffer at the source's natural size.
#include <tqutil/ScaledImageLoader.h>

#include <plat/Exception.h>
#include <rfb/ManagedPixelBuffer.h>
#include <tqutil/Scaler.h>

namespace tqutil {

void ScaledImageLoader::load(rfb::WritablePixelBuffer* pb, rfb::Point offset) {
    rfb::ImageLoader* il = source;
    if (il->getSize() == size) {
        il->load(pb, offset);
        return;
    }
    PLAT_ASSERT(pb->getPf().equal(il->getPf()));
    rfb::ManagedPixelBuffer natural;
    natural.setPF(il->getPf());
    natural.setSize(il->getSize());
    il->load(&natural, rfb::Point(0, 0));

    Scaler scaler;
    scaler.setSource(&natural);
    scaler.setDestinationFormat(pb->getPf(), pb->getColourMap());
    scaler.setDestinationSize(size);
    int stride = 0;
    std::uint8_t* target =
        pb->getPixelsRW(rfb::Rect::fromXYWH(offset.x, offset.y, size.x, size.y), &stride);
    if (target)
        scaler.getImage(target, rfb::Rect(0, 0, size.x, size.y), stride);
}

} // namespace tqutil
