// The label button's content.
#include <wvw/WLabelButton.h>

#include <algorithm>

namespace wvw {

WLabelButton::WLabelButton(const char* text, WLayout* parentLayout)
    : WBevelButton(parentLayout), label(text, 1) {
    label.setPadding(0);
    // One line, whatever size the button has when it is measured.
    label.setWrap(false);
    label.setTransparent(true);
    label.setAlignment(1, 1);
    setContent(&label);
}

WLabelButton::~WLabelButton() {
    setContent(nullptr);
}

rfb::Point WLabelButton::getPreferredSize() {
    rfb::Point preferred = WBevelButton::getPreferredSize();
    return {std::max(preferred.x, MinimumPreferredWidth), preferred.y};
}

} // namespace wvw
