// Arrow painting: a triangle built from lines that shrink by a pixel at both ends.
#include <wvw/WArrow.h>

#include <wvw/Style.h>
#include <wvw/painting.h>

#include <rfb/FullFramePixelBuffer.h>

#include <algorithm>

namespace wvw {

WArrow::WArrow(int direction, WLayout* parentLayout) : Widget(parentLayout), direction(direction) {}

void WArrow::paint(rfb::FullFramePixelBuffer* pb) {
    const Style& style = getStyle();
    std::uint32_t ink = pixelOf(*pb, isEnabled() ? style.text : style.disabledText);
    int square = std::min(width(), height());
    int side = square - 2 * inset;
    if (side <= 0)
        return;
    int left = (width() - square) / 2 + inset;
    int top = (height() - square) / 2 + inset;
    bool horizontal = direction == Left || direction == Right;
    // The base lies a quarter of the side in from the edge opposite the point.
    bool forward = direction == Right || direction == Down;
    int base = forward ? side / 4 : side - 1 - side / 4;
    for (int line = 0; 2 * line < side; ++line) {
        int along = forward ? base + line : base - line;
        if (along < 0 || along >= side)
            break;
        int from = line, to = side - line;
        rfb::Rect stroke = horizontal
                               ? rfb::Rect(left + along, top + from, left + along + 1, top + to)
                               : rfb::Rect(left + from, top + along, left + to, top + along + 1);
        pb->fillRect(stroke, ink);
    }
}

} // namespace wvw
