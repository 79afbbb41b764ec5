// The canvas background.
#include <wvw/WCanvas.h>

#include <wvw/Style.h>
#include <wvw/painting.h>

namespace wvw {

void WCanvas::paint(rfb::FullFramePixelBuffer* pb) {
    pb->fillRect(pb->getRect(), pixelOf(*pb, getStyle().labelBg()));
    WLayout::paint(pb);
}

} // namespace wvw
