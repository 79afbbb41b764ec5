// Loads a named image from the built-in resources ("<variant>.png") at a requested size: the
// best variant, scaled when its size differs.
#pragma once

#include <rfb/ImageLoader.h>
#include <tqutil/NamedImageFinder.h>
#include <tqutil/PngFile.h>

#include <memory>

namespace tqutil {

class NamedImageLoader : public rfb::ImageLoader, private NamedImageFinder {
public:
    // Chooses the variant at once, so that getSize() is the final size (the natural size at the
    // current ppmm for 0 x 0). Throws what find() and PngFile throw.
    NamedImageLoader(const char* name, rfb::Point size, bool premultiply);

    rfb::Point getSize() const override { return size; }
    rfb::PixelFormat getPf() const override { return png->getPf(); }
    void load(rfb::WritablePixelBuffer* pb, rfb::Point offset) override;

    // The chosen PNG's own size.
    rfb::Point pngSize() const { return png->getSize(); }

private:
    bool tryLoad(const char* name) override;
    rfb::Point naturalSize() const override { return png->getSize(); }
    bool found() const override { return png != nullptr; }

    rfb::Point size;
    std::unique_ptr<PngFile> png;
    bool premultiply;
};

} // namespace tqutil
