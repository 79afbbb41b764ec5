// A menu: items stacked in one or more columns with one of them highlighted, driven by the
// pointer and by keys (arrows, Return, Escape, shortcuts and mnemonics). Items with submenus open
// them as pop-ups. A menu never owns its items.
#pragma once

#include <wvw/Style.h>
#include <wvw/WLayout.h>

#include <memory>
#include <vector>

namespace wvw {

class WMenuItem;

class WMenu : public WLayout {
public:
    static constexpr int Margin = 4;

    // checkColumn reserves room for check marks; mnemonicsShown underlines the items' mnemonics.
    // A submenu names the menu whose item opened it.
    WMenu(bool checkColumn, bool mnemonicsShown, WMenu* parentMenu = nullptr,
          WLayout* parentLayout = nullptr);
    ~WMenu() override;

    // Shows the menu as a pop-up at position relative to widget, or hides it. A menu that lives
    // in a layout does neither.
    virtual void popup(bool /*show*/, const rfb::Point& /*position*/, Widget* /*widget*/) {}
    // The menu behind an item created with a submenu: a pop-up with this menu's flags.
    virtual std::unique_ptr<WMenu> createSubmenu();

    // 0 for none; a menu taller than this takes further columns.
    void setMaxHeight(int height);
    void setMinWidth(int width);
    bool hasCheckColumn() const { return checkColumn; }
    bool showsMnemonics() const { return mnemonicsShown; }
    WMenu* getParentMenu() const { return parentMenu; }
    const std::vector<WMenuItem*>& getItems() const { return items; }
    WMenuItem* getHighlighted() const { return highlighted; }
    const Style& getHighlightStyle() const { return highlightStyle; }
    // The item whose submenu is open, or null.
    WMenuItem* getSubmenuOwner() const { return submenuOwner; }

    // The item takes the highlight style and the previous one its inherited style again; both
    // report stateChanged (1 highlighted, 0 not). Null removes the highlight.
    void highlight(WMenuItem* item);
    // Places the items in columns and takes the preferred size.
    void layOut();
    // Hides this menu and every parent menu.
    void closeAll();

    // Widget and layout.
    void setParent(WParent* parent, WInputHandler* parentInput,
                   WMouseInputHandler* parentMouse) override;
    void clearParent() override;
    void styleChanged() override;
    void pointerEvent(const rfb::Point& position, int buttonMask) override;
    void keyPress(int keysym, bool down) override;
    void paint(rfb::FullFramePixelBuffer* pb) override;
    bool acceptsFocus() const override { return false; }
    // From the items: a submenu item opens its submenu, any other enabled item is chosen.
    bool activated(Widget* origin) override;
    bool pointerMoved(const rfb::Point& position, Widget* origin) override;

protected:
    // A pop-up closes when a button is pressed outside it.
    virtual bool isPopup() const { return false; }
    void openSubmenu(WMenuItem* item);
    void closeSubmenu();

private:
    friend class WMenuItem;

    void addItem(WMenuItem* item, WMenuItem* before);
    void removeItem(WMenuItem* item);
    void itemChanged();
    WMenuItem* findItem(const Widget* widget) const;
    bool isSelectable(const WMenuItem* item) const;
    int placeItems(int columnWidth);
    void highlightFirst();
    void moveHighlight(int step);
    void handleKey(int keysym);
    bool activateByKey(int keysym);
    void deliverActivation(WMenuItem* item);
    static void runPendingActivation();

    WMenu* parentMenu;
    std::vector<WMenuItem*> items;
    WMenuItem* highlighted = nullptr;
    int maxHeight = 0;
    int minWidth = 0;
    Style highlightStyle;
    bool checkColumn;
    bool mnemonicsShown;
    WMenuItem* submenuOwner = nullptr;
    int routedButtons = 0;
};

} // namespace wvw
