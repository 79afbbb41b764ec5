// The edit menu's items, texts and actions.
#include <wvw/WEditMenu.h>

#include <wvw/WMenuItem.h>
#include <wvw/WRootMenu.h>
#include <wvw/shortcutText.h>

#include <plat/Translator.h>
#include <plat/keepLinked.h>
#include <tqutil/editMenuTexts.h>

namespace wvw {

PLAT_KEEP_LINKED(tqutil::editMenuTexts);

namespace {

std::unique_ptr<WMenuItem> itemIf(bool wanted, WRootMenu& menu, const char* key,
                                  std::uint32_t shortcut) {
    if (!wanted)
        return nullptr;
    auto item = std::make_unique<WMenuItem>(&menu, PLAT_TR(key));
    item->setShortcut(shortcut);
    return item;
}

} // namespace

WEditMenu::WEditMenu(Callback* callback, int items)
    : callback(callback), menu(std::make_unique<WRootMenu>()) {
    menu->setInputHandler(this);
    copyItem = itemIf(items & Copy, *menu, "tqutil_editmenu_copy", shortcut::Ctrl | 'c');
    pasteItem = itemIf(items & Paste, *menu, "tqutil_editmenu_paste", shortcut::Ctrl | 'v');
    selectAllItem = itemIf(items & SelectAll, *menu, "tqutil_editmenu_select_all", 0);
}

WEditMenu::~WEditMenu() {
    menu->popup(false, {}, nullptr);
}

void WEditMenu::popup(bool show, const rfb::Point& position, Widget* widget) {
    menu->popup(show, position, widget);
}

bool WEditMenu::isShown() const {
    return menu->isShown();
}

bool WEditMenu::activated(Widget* origin) {
    int action = 0;
    if (copyItem && origin == copyItem.get())
        action = Copy;
    else if (pasteItem && origin == pasteItem.get())
        action = Paste;
    else if (selectAllItem && origin == selectAllItem.get())
        action = SelectAll;
    menu->popup(false, {}, nullptr);
    // Last: the callback may destroy this menu.
    if (action && callback)
        callback->editAction(action);
    return true;
}

} // namespace wvw
