// The context menu offered on selectable text: Copy, Paste and Select All as its owner asks,
// reporting the chosen action to a callback once the menu is hidden.
#pragma once

#include <wvw/WInputHandler.h>

#include <rfb/Rect.h>

#include <memory>

namespace wvw {

class WMenuItem;
class WRootMenu;
class Widget;

class WEditMenu : public WInputHandler {
public:
    // Items and actions: 1 copy, 2 paste, 4 select all.
    enum : int { Copy = 1, Paste = 2, SelectAll = 4 };

    class Callback {
    public:
        virtual ~Callback() = default;
        // Called after the menu has been hidden and its grab released: the callback may open a
        // dialog, or destroy the menu's owner and with it the menu.
        virtual void editAction(int action) = 0;
    };

    // items: the mask of the actions offered, shown in the order copy, paste, select all.
    WEditMenu(Callback* callback, int items);
    ~WEditMenu() override;
    WEditMenu(const WEditMenu&) = delete;
    WEditMenu& operator=(const WEditMenu&) = delete;

    // At position relative to widget, which must be shown in a window.
    void popup(bool show, const rfb::Point& position, Widget* widget);
    bool isShown() const;
    WRootMenu& getMenu() { return *menu; }

    bool activated(Widget* origin) override;

private:
    Callback* callback;
    std::unique_ptr<WRootMenu> menu;
    std::unique_ptr<WMenuItem> copyItem;
    std::unique_ptr<WMenuItem> pasteItem;
    std::unique_ptr<WMenuItem> selectAllItem;
};

} // namespace wvw
