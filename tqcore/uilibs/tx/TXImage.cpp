// X images over System V shared memory or memory of their own, their layout checks, and the
// translation of other formats (and of every format on palettised visuals) when they are put.
#include <tx/TXImage.h>

#include <tx/ErrorCatcher.h>
#include <tx/TXWindow.h>
#include <tx/displayState.h>

#include <plat/Exception.h>
#include <plat/IntParameter.h>
#include <plat/SharedMemSysV.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <vector>

namespace tx {

namespace {

plat::LogSrc imageLog("TXImage");

plat::IntParameter
    colorCubeSize("ColorCubeSize",
                  "Size of NxNxN color cube to allocate for colormapped displays (2 to 6)", 4,
                  false, nullptr, 2, 6);

// A server that refuses our segment is no fault: the image is made without it.
constexpr int AttachFailureLevel = 30;

// Sides a pixel buffer can have: its rectangle must fit the 16-bit range of regions.
constexpr int MaxSide = 32767;

// What palettised displays are painted in before the colour cube maps it to their pixels.
const rfb::PixelFormat PaletteDrawingFormat(32, 24, false, true, 255, 255, 255, 16, 8, 0);

// The existing cell nearest to a colour, for cube colours the colormap has no room for.
unsigned long nearestExistingCell(Display* display, const XColor& wanted) {
    Visual* visual = DefaultVisual(display, DefaultScreen(display));
    std::vector<XColor> cells(std::size_t(visual->map_entries));
    for (std::size_t i = 0; i < cells.size(); i++)
        cells[i].pixel = i;
    XQueryColors(display, TXWindow::colormap(), cells.data(), int(cells.size()));
    unsigned long best = 0;
    std::int64_t bestDistance = INT64_MAX;
    for (const XColor& cell : cells) {
        std::int64_t r = int(cell.red) - int(wanted.red), g = int(cell.green) - int(wanted.green),
                     b = int(cell.blue) - int(wanted.blue);
        std::int64_t distance = r * r + g * g + b * b;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = cell.pixel;
        }
    }
    return best;
}

// The cube of every palettised image, its colours allocated once in the display's colormap.
rfb::ColorCubePlusTable* displayColourCube(Display* display) {
    static rfb::ColorCubePlusTable* cube = nullptr;
    if (cube)
        return cube;
    int levels = colorCubeSize.getValue();
    cube = new rfb::ColorCubePlusTable(levels, levels, levels);
    for (int i = 0; i < cube->size(); i++) {
        rfb::Rgb level = cube->levelColour(i);
        XColor colour = {};
        colour.red = std::uint16_t(level.r * 257);
        colour.green = std::uint16_t(level.g * 257);
        colour.blue = std::uint16_t(level.b * 257);
        colour.flags = DoRed | DoGreen | DoBlue;
        bool allocated = XAllocColor(display, TXWindow::colormap(), &colour) != 0;
        cube->setPixel(
            i, std::uint32_t(allocated ? colour.pixel : nearestExistingCell(display, colour)));
    }
    return cube;
}

int scanlinePadOf(Display* display, int depth) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int pad = BitmapPad(display);
    for (int i = 0; i < count; i++) {
        if (formats[i].depth == depth)
            pad = formats[i].scanline_pad;
    }
    if (formats)
        XFree(formats);
    return pad;
}

bool serverHasSharedMemory(Display* display) {
    return XShmQueryExtension(display) && TXImage::isLocalConnection(ConnectionNumber(display));
}

} // namespace

void TXImage::FreeMemory::operator()(std::uint8_t* memory) const {
    std::free(memory);
}

TXImage::TXImage(rfb::Point size, Visual* visual, int depth)
    : ConfigurablePixelBuffer(rfb::PixelFormat(), rfb::Rect(), nullptr, nullptr),
      display(requireDisplay()),
      visual(visual ? visual : DefaultVisual(display, DefaultScreen(display))),
      depth(depth ? depth : DefaultDepth(display, DefaultScreen(display))) {
    nativePF = TXWindow::getNativePixelFormat(this->visual, this->depth);
    char text[rfb::PixelFormat::TextCapacity] = "";
    nativePF.print(text);
    imageLog.debug("Native pixel format %s", text);
    scanlinePad = scanlinePadOf(display, this->depth);
    if (nativePF.trueColour) {
        pf = nativePF;
    } else {
        pf = PaletteDrawingFormat;
        cube = displayColourCube(display);
    }
    allocate(size);
}

TXImage::~TXImage() {
    releaseImage();
}

bool TXImage::isLocalConnection(int descriptor) {
    sockaddr_storage address = {};
    socklen_t length = sizeof address;
    return getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
           address.ss_family == AF_UNIX;
}

int TXImage::imBytesPerLine() const {
    std::int64_t bits = std::int64_t(rect.width()) * nativePF.bpp;
    return int((bits + scanlinePad - 1) / scanlinePad * scanlinePad / 8);
}

void TXImage::setPF(const rfb::PixelFormat& newPF) {
    if (newPF.equal(pf))
        return;
    pf = newPF;
    layOut();
}

void TXImage::setSize(const rfb::Point& size) {
    if (size == getSize())
        return;
    allocate(size);
}

void TXImage::allocate(rfb::Point size) {
    if (size.x > MaxSide || size.y > MaxSide)
        throw plat::ExceptionFmt("An image of %dx%d pixels is too large", size.x, size.y);
    releaseImage();
    rect = rfb::Rect(rect.tl, rect.tl.translate({std::max(size.x, 0), std::max(size.y, 0)}));
    try {
        if (!rect.isEmpty() && !createSharedImage())
            createPlainImage();
        if (xim)
            PLAT_ASSERT(xim->bytes_per_line == imBytesPerLine());
        layOut();
    } catch (...) {
        releaseImage();
        rect = rfb::Rect(rect.tl, rect.tl);
        layOut();
        throw;
    }
}

bool TXImage::createSharedImage() {
    if (!serverHasSharedMemory(display))
        return false;
    std::uint64_t bytes = std::uint64_t(imBytesPerLine()) * std::uint64_t(rect.height());
    if (bytes > UINT32_MAX)
        return false;
    XImage* shared = nullptr;
    try {
        std::unique_ptr<plat::SharedMemSysV> created =
            plat::SharedMemSysV::create(std::uint32_t(bytes));
        shared = XShmCreateImage(display, visual, unsigned(depth), ZPixmap,
                                 static_cast<char*>(created->address()), &shmInfo,
                                 unsigned(rect.width()), unsigned(rect.height()));
        if (!shared)
            throw plat::Exception("XShmCreateImage failed");
        shmInfo.shmid = created->id();
        shmInfo.shmaddr = shared->data;
        shmInfo.readOnly = False;
        ErrorCatcher catcher(AttachFailureLevel);
        bool attached = XShmAttach(display, &shmInfo) != 0;
        catcher.check("XShmAttach failed");
        if (!attached)
            throw plat::Exception("XShmAttach failed");
        xim = shared;
        segment = std::move(created);
    } catch (const plat::Exception& failure) {
        if (shared) {
            shared->data = nullptr;
            XDestroyImage(shared);
        }
        imageLog.status("No shared memory XImage: %s", failure.message());
        return false;
    }
    imageLog.debug("Using shared memory XImage");
    return true;
}

void TXImage::createPlainImage() {
    std::size_t bytes = std::size_t(imBytesPerLine()) * std::size_t(rect.height());
    plainPixels.reset(static_cast<std::uint8_t*>(std::calloc(bytes, 1)));
    if (!plainPixels)
        throw plat::ExceptionFmt("No memory for an image of %dx%d pixels", rect.width(),
                                 rect.height());
    xim = XCreateImage(display, visual, unsigned(depth), ZPixmap, 0,
                       reinterpret_cast<char*>(plainPixels.get()), unsigned(rect.width()),
                       unsigned(rect.height()), scanlinePad, imBytesPerLine());
    if (!xim) {
        plainPixels.reset();
        throw plat::Exception("XCreateImage failed");
    }
    imageLog.debug("Using non-shm XImage");
}

void TXImage::releaseImage() {
    if (xim) {
        // The pixels belong to the segment or to plainPixels, not to Xlib.
        xim->data = nullptr;
        XDestroyImage(xim);
        xim = nullptr;
    }
    if (segment && !TXWindow::connectionLost()) {
        XShmDetach(display, &shmInfo);
        // The server must be done with the segment before it goes.
        XSync(display, False);
    }
    segment.reset();
    plainPixels.reset();
    data = nullptr;
}

void TXImage::layOut() {
    translation.reset();
    ownPixels.reset();
    colourMap = nullptr;
    if (rect.isEmpty()) {
        data = nullptr;
        stride = 0;
        return;
    }
    int nativeBytes = nativePF.bytesPerPixel();
    if (pf.equal(nativePF) && nativePF.trueColour && imBytesPerLine() % nativeBytes == 0) {
        data = reinterpret_cast<std::uint8_t*>(xim->data);
        stride = imBytesPerLine() / nativeBytes;
        return;
    }
    ownPixels.reset(static_cast<std::uint8_t*>(
        std::calloc(std::size_t(rect.width()) * std::size_t(rect.height()), pf.bytesPerPixel())));
    if (!ownPixels)
        throw plat::ExceptionFmt("No memory for an image of %dx%d pixels", rect.width(),
                                 rect.height());
    data = ownPixels.get();
    stride = rect.width();
    translation = std::make_unique<rfb::TransPixelBuffer>(nativePF);
    if (cube)
        translation->setColourMap(cube);
    translation->setSource(this);
}

void TXImage::put(Window window, GC gc, const rfb::Rect& r) {
    rfb::Rect area = r.intersect(rect);
    if (area.isEmpty() || !xim)
        return;
    if (translation) {
        int nativeBytes = nativePF.bytesPerPixel();
        std::uint8_t* rows = reinterpret_cast<std::uint8_t*>(xim->data);
        for (int y = area.tl.y; y < area.br.y; y++) {
            rfb::Rect row(area.tl.x, y, area.br.x, y + 1);
            translation->getImage(rows +
                                      std::size_t(y - rect.tl.y) * std::size_t(imBytesPerLine()) +
                                      std::size_t(area.tl.x - rect.tl.x) * std::size_t(nativeBytes),
                                  row);
        }
    }
    int x = area.tl.x - rect.tl.x, y = area.tl.y - rect.tl.y;
    unsigned width = unsigned(area.width()), height = unsigned(area.height());
    if (segment)
        XShmPutImage(display, window, gc, xim, x, y, area.tl.x, area.tl.y, width, height, False);
    else
        XPutImage(display, window, gc, xim, x, y, area.tl.x, area.tl.y, width, height);
}

} // namespace tx
