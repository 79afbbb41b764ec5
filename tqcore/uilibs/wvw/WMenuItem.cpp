// Menu item sizes, placement of the text, shortcut and arrow, the check mark and separators.
#include <wvw/WMenuItem.h>

#include <wvw/Style.h>
#include <wvw/WArrow.h>
#include <wvw/WLabelWithMnemonic.h>
#include <wvw/WMenu.h>
#include <wvw/keysyms.h>
#include <wvw/painting.h>
#include <wvw/shortcutText.h>

#include <rfb/FullFramePixelBuffer.h>

#include <algorithm>
#include <cctype>

namespace wvw {

namespace {

constexpr int CheckColumnWidth = 10;
constexpr int CheckMarkSide = 8;

// One row per byte, the leftmost pixel in the highest bit.
constexpr std::uint8_t CheckMark[CheckMarkSide] = {0x01, 0x03, 0x87, 0xCE, 0xFC, 0x78, 0x30, 0x00};

void transparentLine(WLabel& label) {
    label.setWrap(false);
    label.setTransparent(true);
}

} // namespace

WMenuItem::WMenuItem(WMenu* menu, const char* text, WMenuItem* before, bool withSubmenu)
    : menu(menu), item(text != nullptr) {
    if (item) {
        label = std::make_unique<WLabelWithMnemonic>(text, 0, this);
        transparentLine(*label);
        label->setMnemonicShown(menu->showsMnemonics());
        int marked = label->getMnemonic();
        mnemonic = marked < 128 ? std::tolower(marked) : marked;
        shortcutLabel = std::make_unique<WLabel>("", 2, this);
        transparentLine(*shortcutLabel);
        if (withSubmenu) {
            arrow = std::make_unique<WArrow>(WArrow::Right, this);
            arrow->setSize(arrow->getPreferredSize());
            submenu = menu->createSubmenu();
        }
    }
    menu->addItem(this, before);
}

WMenuItem::~WMenuItem() {
    if (menu)
        menu->removeItem(this);
}

const char* WMenuItem::getText() const {
    return label ? label->getText() : "";
}

const char* WMenuItem::getShortcutText() const {
    return shortcutLabel ? shortcutLabel->getText() : "";
}

void WMenuItem::setShortcut(std::uint32_t shortcut) {
    if (!item)
        return;
    shortcutKeysym = int(shortcut & shortcut::KeysymMask);
    shortcutLabel->setText(shortcutText(shortcut).c_str());
    if (menu)
        menu->itemChanged();
    placeContent();
}

void WMenuItem::setChecked(bool newChecked) {
    checked = newChecked;
    invalidate();
}

bool WMenuItem::matchesMnemonic(int character) const {
    return label && label->matchesMnemonic(character);
}

bool WMenuItem::offerKey(int keysym) {
    if (!menu || !submenu)
        return false;
    if (keysym == keysym::Right) {
        menu->openSubmenu(this);
        return true;
    }
    if (keysym == keysym::Left && menu->getSubmenuOwner() == this) {
        menu->closeSubmenu();
        return true;
    }
    return false;
}

// The shortcut text or the arrow on the right; nothing when the item shows neither.
rfb::Point WMenuItem::sideSize() const {
    if (arrow)
        return arrow->getPreferredSize();
    if (*shortcutLabel->getText() == '\0')
        return {0, 0};
    return shortcutLabel->getPreferredSize();
}

rfb::Point WMenuItem::getPreferredSize() {
    if (!item)
        return {2, 5};
    rfb::Point text = label->getPreferredSize();
    rfb::Point side = sideSize();
    int extra = menu && menu->hasCheckColumn() ? 13 : 3;
    return {text.x + side.x + extra, std::max(text.y, side.y) + 2};
}

void WMenuItem::setSize(const rfb::Point& size) {
    WButton::setSize(size);
    placeContent();
}

void WMenuItem::placeContent() {
    if (!item)
        return;
    int left = menu && menu->hasCheckColumn() ? CheckColumnWidth : 0;
    setChildRect(label.get(), {left, 1, left + label->getPreferredSize().x, height() - 1});
    if (arrow) {
        rfb::Point side = arrow->getPreferredSize();
        int top = (height() - side.y) / 2;
        setChildRect(arrow.get(), {width() - side.x, top, width(), top + side.y});
    } else {
        setChildRect(shortcutLabel.get(), {width() - sideSize().x, 1, width(), height() - 1});
    }
}

void WMenuItem::paint(rfb::FullFramePixelBuffer* pb) {
    if (!item) {
        paintSeparator(pb);
        return;
    }
    const Style& style = getStyle();
    pb->fillRect({0, 0, width(), height()}, pixelOf(*pb, style.labelBg()));
    if (checked && menu && menu->hasCheckColumn()) {
        std::uint32_t ink = pixelOf(*pb, isEnabled() ? style.text : style.disabledText);
        int top = (height() - CheckMarkSide) / 2;
        for (int row = 0; row < CheckMarkSide; ++row)
            for (int column = 0; column < CheckMarkSide; ++column)
                if (CheckMark[row] & (0x80 >> column))
                    pb->fillRect(rfb::Rect::fromXYWH(1 + column, top + row, 1, 1), ink);
    }
    WButton::paint(pb);
}

void WMenuItem::paintSeparator(rfb::FullFramePixelBuffer* pb) {
    const Style& style = getStyle();
    pb->fillRect({1, 2, width() - 1, 3}, pixelOf(*pb, style.frame[5]));
    pb->fillRect({1, 3, width() - 1, 4}, pixelOf(*pb, style.frame[4]));
}

} // namespace wvw
