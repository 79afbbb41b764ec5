// One entry of a menu: a text with its mnemonic, a shortcut text or a submenu arrow on the
// right, an optional check mark; or a separator line.
#pragma once

#include <wvw/WButton.h>

#include <cstdint>
#include <memory>

namespace wvw {

class WArrow;
class WLabel;
class WLabelWithMnemonic;
class WMenu;

class WMenuItem : public WButton {
public:
    // A null text makes a separator. The item joins the menu before `before` (at the end for
    // null); withSubmenu gives it a submenu made by the menu's createSubmenu().
    WMenuItem(WMenu* menu, const char* text, WMenuItem* before = nullptr, bool withSubmenu = false);
    ~WMenuItem() override;

    // A shortcut value of shortcutText.h; the item shows its text and answers its key.
    void setShortcut(std::uint32_t shortcut);
    void setChecked(bool checked);

    WMenu* getMenu() const { return menu; }
    WMenu* getSubmenu() const { return submenu.get(); }
    bool isItem() const { return item; }
    bool isChecked() const { return checked; }
    int getShortcutKeysym() const { return shortcutKeysym; }
    // The mnemonic in lower case, 0 for none.
    int getMnemonic() const { return mnemonic; }
    const char* getText() const;
    const char* getShortcutText() const;
    bool matchesMnemonic(int character) const override;
    // Left and Right: true when the item opened or left its submenu.
    bool offerKey(int keysym);

    void paint(rfb::FullFramePixelBuffer* pb) override;
    rfb::Point getPreferredSize() override;
    void setSize(const rfb::Point& size) override;
    bool acceptsFocus() const override { return false; }

private:
    friend class WMenu;

    rfb::Point sideSize() const;
    void placeContent();
    void paintSeparator(rfb::FullFramePixelBuffer* pb);

    WMenu* menu;
    std::unique_ptr<WLabelWithMnemonic> label;
    std::unique_ptr<WLabel> shortcutLabel;
    std::unique_ptr<WArrow> arrow;
    std::unique_ptr<WMenu> submenu;
    bool item;
    int shortcutKeysym = 0;
    bool checked = false;
    int mnemonic = 0;
};

} // namespace wvw
