// A menu shown in a pop-up window of its own, next to a widget, with the pointer and keyboard
// grabbed while it is up.
#pragma once

#include <wvw/WMenu.h>

namespace wvw {

class WRoot;

class WRootMenu : public WMenu {
public:
    explicit WRootMenu(bool checkColumn = false, bool mnemonicsShown = true,
                       WMenu* parentMenu = nullptr);
    // Hides the menu first.
    ~WRootMenu() override;

    // Showing: at position relative to widget, moved as far as needed to lie wholly on the
    // screen, in as many columns as the screen's height needs. The widget must be shown in a
    // window (an internal consistency check).
    void popup(bool show, const rfb::Point& position, Widget* widget) override;
    bool isShown() const { return shownOn != nullptr; }

protected:
    bool isPopup() const override { return true; }

private:
    WRoot* shownOn = nullptr;
};

} // namespace wvw
