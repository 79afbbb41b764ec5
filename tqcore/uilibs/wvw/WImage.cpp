// Loading and compositing the image.
#include <wvw/WImage.h>

#include <wvw/painting.h>

namespace wvw {

WImage::WImage(const char* name, rfb::Point size, WLayout* parentLayout) : Widget(parentLayout) {
    if (name)
        setImage(name, size);
}

bool WImage::setImage(const char* name, rfb::Point size) {
    invalidate();
    image.reset();
    if (!name)
        return true;
    auto loaded = tqutil::getNamedImage(name, size);
    if (!loaded || loaded->isEmpty())
        return false;
    image = std::move(loaded);
    if (getSize() == rfb::Point(0, 0))
        setSize(image->getSize());
    invalidate();
    return true;
}

void WImage::setAlignment(int newHAlign, int newVAlign) {
    hAlign = newHAlign;
    vAlign = newVAlign;
    invalidate();
}

void WImage::setTile(bool newTile) {
    tile = newTile;
    invalidate();
}

void WImage::paint(rfb::FullFramePixelBuffer* pb) {
    if (!image)
        return;
    const int w = image->width(), h = image->height();
    if (!tile) {
        compositeImage(*pb, *image, {(width() - w) * hAlign / 2, (height() - h) * vAlign / 2},
                       !isEnabled());
        return;
    }
    for (int y = 0; y < height(); y += h)
        for (int x = 0; x < width(); x += w)
            compositeImage(*pb, *image, {x, y}, !isEnabled());
}

rfb::Point WImage::getPreferredSize() {
    return image ? image->getSize() : rfb::Point();
}

} // namespace wvw
