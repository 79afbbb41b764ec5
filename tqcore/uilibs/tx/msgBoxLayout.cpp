// The message box layout: buttons of one width in a centred row below the text, the icon to the
// left of the text, both centred on the taller of the two.
#include <tx/msgBoxLayout.h>

#include <algorithm>

namespace tx {

namespace {

constexpr int Margin = 10;
constexpr int ButtonGap = 3;
constexpr int ButtonHeight = 25;
constexpr int MinimumButtonWidth = 60;

} // namespace

int msgBoxIconSize(int ppmm) {
    return (64 * ppmm + 4) / 8;
}

rfb::Point layOutMessageBox(wvw::WLayout& layout, wvw::WLabel& label, wvw::WImage* image,
                            const std::vector<wvw::WLabelButton*>& buttons) {
    int buttonWidth = MinimumButtonWidth;
    for (wvw::WLabelButton* button : buttons)
        buttonWidth = std::max(buttonWidth, button->getPreferredSize().x + 6);

    // Measured at 0 x 0 first (every word on its own line), then wrapped at the text width.
    label.setSize({0, 0});
    int firstHeight = label.getPreferredSize().y;
    label.setSize({MsgBoxTextWidth, firstHeight});
    rfb::Point labelSize = label.getPreferredSize();

    const int count = int(buttons.size());
    int rowWidth = count * (buttonWidth + ButtonGap) - ButtonGap;
    int textWidth = std::max(rowWidth, labelSize.x);
    label.setSize({textWidth, labelSize.y});

    rfb::Point imageSize = image ? image->getSize() : rfb::Point();
    int contentHeight = std::max(labelSize.y, imageSize.y);
    int textX = Margin;
    if (image) {
        layout.setChildPosition(image, {Margin, (contentHeight - imageSize.y) / 2 + Margin});
        textX = imageSize.x + 2 * Margin;
    }
    layout.setChildPosition(&label, {textX, (contentHeight - labelSize.y) / 2 + Margin});
    int right = textX + textWidth;

    int x = (right - count * (buttonWidth + ButtonGap) - 7) / 2 + Margin;
    for (wvw::WLabelButton* button : buttons) {
        layout.setChildRect(
            button, rfb::Rect::fromXYWH(x, contentHeight + 2 * Margin, buttonWidth, ButtonHeight));
        x += buttonWidth + ButtonGap;
    }
    return {right + Margin, contentHeight + 55};
}

} // namespace tx
