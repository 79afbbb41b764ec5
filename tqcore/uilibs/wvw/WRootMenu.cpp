// Pop-up placement of menus.
#include <wvw/WRootMenu.h>

#include <wvw/WRoot.h>
#include <wvw/popupRoot.h>

#include <plat/Exception.h>

#include <algorithm>
#include <utility>

namespace wvw {

WRootMenu::WRootMenu(bool checkColumn, bool mnemonicsShown, WMenu* parentMenu)
    : WMenu(checkColumn, mnemonicsShown, parentMenu) {}

WRootMenu::~WRootMenu() {
    popup(false, {}, nullptr);
}

void WRootMenu::popup(bool show, const rfb::Point& position, Widget* widget) {
    if (!show) {
        closeSubmenu();
        if (WRoot* root = std::exchange(shownOn, nullptr))
            root->hidePopup(this);
        return;
    }
    rfb::Point origin;
    WRoot* root = widget ? findRoot(*widget, origin) : nullptr;
    PLAT_ASSERT(root);
    rfb::Rect screen = root->screenRect();
    setMaxHeight(screen.height());
    rfb::Point at = origin.translate(position);
    at.x = std::max(std::min(screen.br.x - width(), at.x), screen.tl.x);
    at.y = std::max(std::min(at.y, screen.br.y - height()), screen.tl.y);
    shownOn = root;
    root->showPopup(this, at, true);
}

} // namespace wvw
