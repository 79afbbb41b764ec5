// The pixel buffer that widgets paint into and that is put into a window: backed by an XImage in
// the window's visual, in MIT shared memory when the server allows it over a local connection.
#pragma once

#include <rfb/ColorCube.h>
#include <rfb/ConfigurablePixelBuffer.h>
#include <rfb/TransPixelBuffer.h>

#include <tx/xlib.h>

#include <X11/extensions/XShm.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace plat {
class SharedMemSysV;
}

namespace tx {

class TXImage : public rfb::ConfigurablePixelBuffer {
public:
    // An image of size pixels in a visual and depth (null and 0: the screen's defaults). Its
    // format is the visual's own on true-colour visuals; on palettised ones it is rgb888 in 32
    // bits, translated through a colour cube of ColorCubeSize levels when put. Sides beyond 32767
    // and images that cannot be allocated throw plat::Exception; a side of 0 or less makes an
    // empty image without memory.
    explicit TXImage(rfb::Point size = {0, 0}, Visual* visual = nullptr, int depth = 0);
    ~TXImage() override;
    TXImage(const TXImage&) = delete;
    TXImage& operator=(const TXImage&) = delete;

    // A format other than the visual's keeps pixels of its own that put() translates.
    void setPF(const rfb::PixelFormat& pf) override;
    // Reallocates (contents are not kept); failures as in the constructor.
    void setSize(const rfb::Point& size) override;
    void* getNativeImage() override { return xim; }

    // Draws r of the image (clipped to it) into the window at the same position.
    void put(Window window, GC gc, const rfb::Rect& r);
    bool usesSharedMemory() const { return segment != nullptr; }
    const rfb::PixelFormat& nativeFormat() const { return nativePF; }

    // Whether a connection descriptor is a Unix-domain socket: only then does the server share
    // our host's System V segments.
    static bool isLocalConnection(int descriptor);

private:
    void allocate(rfb::Point size);
    bool createSharedImage();
    void createPlainImage();
    void releaseImage();
    void layOut();
    // Bytes per pixel times the width, rounded up to the server's scanline pad.
    int imBytesPerLine() const;

    Display* display;
    Visual* visual;
    int depth;
    rfb::PixelFormat nativePF;
    int scanlinePad = 32;
    XImage* xim = nullptr;
    std::unique_ptr<plat::SharedMemSysV> segment;
    XShmSegmentInfo shmInfo = {};
    struct FreeMemory {
        void operator()(std::uint8_t* memory) const;
    };
    // Zeroed by calloc, which maps fresh pages without touching them.
    using Pixels = std::unique_ptr<std::uint8_t, FreeMemory>;

    Pixels plainPixels;
    // Pixels in a format other than the visual's, translated into the image by put().
    Pixels ownPixels;
    std::unique_ptr<rfb::TransPixelBuffer> translation;
    rfb::ColourMap* cube = nullptr;
};

} // namespace tx
