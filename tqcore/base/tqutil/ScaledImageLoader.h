// An image loader that produces another loader's image at a different size.
#pragma once

#include <rfb/ImageLoader.h>

namespace tqutil {

class ScaledImageLoader : public rfb::ImageLoader {
public:
    // The source is not owned.
    ScaledImageLoader(rfb::ImageLoader* source, rfb::Point size) : source(source), size(size) {}

    rfb::Point getSize() const override { return size; }
    rfb::PixelFormat getPf() const override { return source->getPf(); }
    // Decodes the source at its own size into a scratch buffer and scales that into pb, whose
    // format must be the source's.
    void load(rfb::WritablePixelBuffer* pb, rfb::Point offset) override;

private:
    rfb::ImageLoader* source;
    rfb::Point size;
};

} // namespace tqutil
