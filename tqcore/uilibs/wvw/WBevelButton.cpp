// Bevel button placement and painting.
#include <wvw/WBevelButton.h>

#include <wvw/Style.h>
#include <wvw/painting.h>

#include <rfb/FullFramePixelBuffer.h>

namespace wvw {

WBevelButton::WBevelButton(WLayout* parentLayout) : WButton(parentLayout) {}

void WBevelButton::setContent(Widget* newContent) {
    if (content)
        removeChild(content);
    content = newContent;
    if (content) {
        addChild(content);
        placeContent();
    }
    invalidate();
}

void WBevelButton::placeContent() {
    if (content)
        setChildRect(content, rfb::Rect(3, 3, width() - 3, height() - 3));
}

void WBevelButton::setSize(const rfb::Point& size) {
    WButton::setSize(size);
    placeContent();
}

rfb::Point WBevelButton::getPreferredSize() {
    rfb::Point inner = content ? content->getPreferredSize() : rfb::Point();
    return {inner.x + 6, inner.y + 6};
}

void WBevelButton::paint(rfb::FullFramePixelBuffer* pb) {
    const Style& style = getStyle();
    pb->fillRect({2, 2, width() - 2, height() - 2}, pixelOf(*pb, style.buttonFace(isPressed())));
    WButton::paint(pb);
    std::uint32_t light = pixelOf(*pb, style.borderLight());
    std::uint32_t dark = pixelOf(*pb, style.borderDark());
    rfb::Rect outer(0, 0, width(), height());
    drawRoundedOutline(*pb, outer, 3, isPressed() ? light : dark);
    drawRoundedOutline(*pb, {1, 1, width() - 1, height() - 1}, 2, isPressed() ? dark : light);
    if (hasFocus())
        drawRoundedOutline(*pb, outer, 3, pixelOf(*pb, style.focus));
}

bool WBevelButton::focusChanged(bool backward, Widget* origin) {
    if (origin == this)
        invalidate();
    return WButton::focusChanged(backward, origin);
}

} // namespace wvw
