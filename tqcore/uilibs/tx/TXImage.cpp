// Back buffers over XPutImage.
#include <tx/TXImage.h>

#include <tx/TXWindow.h>

#include <plat/Exception.h>

#include <cstdint>

namespace tx {

TXImage::TXImage(int width, int height) {
    Display* display = TXWindow::display();
    int screen = DefaultScreen(display);
    rfb::PixelFormat native = TXWindow::getNativePixelFormat(DefaultVisual(display, screen),
                                                             DefaultDepth(display, screen));
    if (!native.trueColour || (native.bpp != 16 && native.bpp != 32))
        throw plat::ExceptionFmt("Unsupported visual depth %d", int(native.depth));
    setPF(native);
    setSize({width, height});
}

void TXImage::setSize(const rfb::Point& size) {
    if (size.x > INT16_MAX || size.y > INT16_MAX)
        throw plat::ExceptionFmt("Window image of %dx%d pixels is too large", size.x, size.y);
    ManagedPixelBuffer::setSize(size);
}

void TXImage::put(Window window, GC gc, const rfb::Rect& r) {
    rfb::Rect area = r.intersect(getRect());
    if (area.isEmpty())
        return;
    Display* display = TXWindow::display();
    int screen = DefaultScreen(display);
    int stride = 0;
    std::uint8_t* pixels = getPixelsRW(getRect(), &stride);
    XImage* image = XCreateImage(display, DefaultVisual(display, screen),
                                 unsigned(DefaultDepth(display, screen)), ZPixmap, 0,
                                 reinterpret_cast<char*>(pixels), unsigned(width()),
                                 unsigned(height()), getPf().bpp, stride * getPf().bytesPerPixel());
    if (!image)
        throw plat::Exception("XCreateImage failed");
    image->byte_order = getPf().bigEndian ? MSBFirst : LSBFirst;
    XPutImage(display, window, gc, image, area.tl.x, area.tl.y, area.tl.x, area.tl.y,
              unsigned(area.width()), unsigned(area.height()));
    // The pixels belong to the buffer.
    image->data = nullptr;
    XDestroyImage(image);
}

} // namespace tx
