// Tooltip layout, painting and placement on the screen.
#include <wvw/WTooltip.h>

#include <wvw/WRoot.h>
#include <wvw/painting.h>
#include <wvw/popupRoot.h>

#include <rfb/FullFramePixelBuffer.h>

#include <plat/Markup.h>

#include <utility>

namespace wvw {

namespace {

Style helpStyle() {
    Style style = Style::defaultStyle();
    plat::getColor("helpBg", style.frame[0]);
    plat::getColor("helpBg", style.frame[1]);
    return style;
}

} // namespace

WTooltip::WTooltip(int maxWidth, WLayout* parentLayout)
    : WLayout(false, parentLayout), text("", 0, this), maxWidth(maxWidth), style(helpStyle()) {
    setStyle(&style);
    setMargin({Border, Border});
}

WTooltip::~WTooltip() {
    hide();
}

void WTooltip::setText(const char* plain) {
    setMarkup(plat::Markup::escape(plain ? plain : "").c_str());
}

void WTooltip::setMarkup(const char* markup) {
    text.setText(markup);
    layOut();
}

void WTooltip::layOut() {
    text.setSize({maxWidth, text.getHeightForWidth(maxWidth)});
    text.setSize(text.getPreferredSize());
    setChildPosition(&text, {Border, Border});
    setSize(getPreferredSize());
}

void WTooltip::show(const rfb::Point& position, Widget* widget) {
    rfb::Point origin;
    WRoot* root = widget ? findRoot(*widget, origin) : nullptr;
    if (!root)
        return;
    layOut();
    rfb::Rect screen = root->screenRect();
    rfb::Point at = origin.translate(position);
    if (at.x + width() > screen.br.x)
        at.x = origin.x - width() - 2;
    if (at.y + height() > screen.br.y)
        at.y = origin.y - height() - 2;
    shownOn = root;
    root->showPopup(this, at, false);
}

void WTooltip::hide() {
    if (WRoot* root = std::exchange(shownOn, nullptr))
        root->hidePopup(this);
}

void WTooltip::paint(rfb::FullFramePixelBuffer* pb) {
    pb->fillRect({0, 0, width(), height()}, pixelOf(*pb, style.labelBg()));
    WLayout::paint(pb);
    std::uint32_t frame = pixelOf(*pb, style.focus);
    pb->fillRect({0, 0, width(), 1}, frame);
    pb->fillRect({0, height() - 1, width(), height()}, frame);
    pb->fillRect({0, 0, 1, height()}, frame);
    pb->fillRect({width() - 1, 0, width(), height()}, frame);
}

} // namespace wvw
