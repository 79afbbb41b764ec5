// Menu layout in columns, highlighting, keys, submenus and the delivery of a chosen item.
#include <wvw/WMenu.h>

#include <wvw/WMenuItem.h>
#include <wvw/WRootMenu.h>
#include <wvw/keysymToUnicode.h>
#include <wvw/keysyms.h>
#include <wvw/painting.h>

#include <rfb/FullFramePixelBuffer.h>

#include <algorithm>
#include <utility>

namespace wvw {

namespace {

Style highlightOf(const Style& inherited) {
    Style style = inherited;
    style.text = inherited.selectionText();
    style.frame[0] = inherited.selectionBg();
    style.frame[1] = inherited.selectionBg();
    return style;
}

// A chosen item is announced only once the pointer or key event that chose it has left the
// menus: whoever hears of it may destroy the menu, its items and their owner, and the frames of
// the event's handling must not run on in them.
int eventDepth = 0;
struct PendingActivation {
    WMenu* menu = nullptr;
    WMenuItem* item = nullptr;
} pending;

struct MenuEventFrame {
    MenuEventFrame() { ++eventDepth; }
    ~MenuEventFrame() { --eventDepth; }
    MenuEventFrame(const MenuEventFrame&) = delete;
    MenuEventFrame& operator=(const MenuEventFrame&) = delete;
};

int foldLetter(int keysym) {
    return keysym >= 'A' && keysym <= 'Z' ? keysym - 'A' + 'a' : keysym;
}

} // namespace

WMenu::WMenu(bool checkColumn, bool mnemonicsShown, WMenu* parentMenu, WLayout* parentLayout)
    : WLayout(true, parentLayout), parentMenu(parentMenu), highlightStyle(highlightOf(getStyle())),
      checkColumn(checkColumn), mnemonicsShown(mnemonicsShown) {
    setMargin({Margin, Margin});
}

WMenu::~WMenu() {
    if (pending.menu == this)
        pending = {};
    for (WMenuItem* item : items)
        item->menu = nullptr;
}

std::unique_ptr<WMenu> WMenu::createSubmenu() {
    return std::make_unique<WRootMenu>(checkColumn, mnemonicsShown, this);
}

void WMenu::setMaxHeight(int height) {
    maxHeight = height;
    layOut();
}

void WMenu::setMinWidth(int width) {
    minWidth = width;
    layOut();
}

void WMenu::addItem(WMenuItem* item, WMenuItem* before) {
    auto at = std::find(items.begin(), items.end(), before);
    bool found = before && at != items.end();
    items.insert(at, item);
    insertChild(item, found ? before : nullptr, true);
    layOut();
}

void WMenu::removeItem(WMenuItem* item) {
    if (pending.item == item)
        pending = {};
    if (highlighted == item)
        highlighted = nullptr;
    if (submenuOwner == item)
        submenuOwner = nullptr;
    items.erase(std::remove(items.begin(), items.end(), item), items.end());
    removeChild(item);
    item->menu = nullptr;
    layOut();
}

void WMenu::itemChanged() {
    layOut();
}

WMenuItem* WMenu::findItem(const Widget* widget) const {
    auto found = std::find(items.begin(), items.end(), widget);
    return found == items.end() ? nullptr : *found;
}

bool WMenu::isSelectable(const WMenuItem* item) const {
    return item->isItem() && item->isEnabled() && item->isVisible();
}

// A column takes at least one item, however tall: otherwise an item taller than the maximum
// would open empty columns. The bottom margin counts, so that a menu of the screen's height
// stays on the screen.
int WMenu::placeItems(int columnWidth) {
    int x = Margin, y = Margin, columns = 1;
    bool columnEmpty = true;
    for (WMenuItem* item : items) {
        int itemHeight = item->getPreferredSize().y;
        if (maxHeight > 0 && !columnEmpty && y + itemHeight + Margin > maxHeight) {
            x += columnWidth + Margin;
            y = Margin;
            ++columns;
        }
        setChildRect(item, {x, y, x + columnWidth, y + itemHeight});
        y += itemHeight;
        columnEmpty = false;
    }
    return columns;
}

void WMenu::layOut() {
    int widest = 0;
    for (WMenuItem* item : items)
        widest = std::max(widest, item->getPreferredSize().x);
    int columns = placeItems(std::max(widest, minWidth));
    if (columns > 1)
        placeItems(std::max(widest, (minWidth + Margin) / columns - Margin));
    setSize(getPreferredSize());
}

void WMenu::highlight(WMenuItem* item) {
    if (item == highlighted)
        return;
    WMenuItem* previous = highlighted;
    highlighted = item;
    if (previous) {
        previous->setStyle(nullptr);
        previous->stateChanged(previous, 0);
    }
    if (item) {
        item->setStyle(&highlightStyle);
        item->stateChanged(item, 1);
    }
}

// Without a selectable item (an empty menu, only separators or disabled items) the highlight
// stays as it is.
void WMenu::highlightFirst() {
    for (WMenuItem* item : items)
        if (isSelectable(item)) {
            highlight(item);
            return;
        }
}

// Each item is looked at once at most, so a menu without a selectable item leaves the highlight
// alone instead of searching for ever.
void WMenu::moveHighlight(int step) {
    const int count = int(items.size());
    auto current = std::find(items.begin(), items.end(), highlighted);
    int start = current != items.end() ? int(current - items.begin()) : (step > 0 ? -1 : count);
    for (int i = 1; i <= count; ++i) {
        int index = ((start + step * i) % count + count) % count;
        if (isSelectable(items[std::size_t(index)])) {
            highlight(items[std::size_t(index)]);
            return;
        }
    }
}

void WMenu::openSubmenu(WMenuItem* item) {
    if (submenuOwner == item)
        return;
    closeSubmenu();
    if (!item->getSubmenu())
        return;
    highlight(item);
    submenuOwner = item;
    item->getSubmenu()->popup(true, {item->width(), 0}, item);
}

void WMenu::closeSubmenu() {
    WMenuItem* owner = std::exchange(submenuOwner, nullptr);
    if (owner && owner->getSubmenu())
        owner->getSubmenu()->popup(false, {}, nullptr);
}

void WMenu::closeAll() {
    WMenu* top = this;
    while (top->parentMenu)
        top = top->parentMenu;
    top->popup(false, {}, nullptr);
}

void WMenu::setParent(WParent* newParent, WInputHandler* parentInput,
                      WMouseInputHandler* parentMouse) {
    routedButtons = 0;
    layOut();
    WLayout::setParent(newParent, parentInput, parentMouse);
    highlightFirst();
}

void WMenu::clearParent() {
    closeSubmenu();
    routedButtons = 0;
    WLayout::clearParent();
}

void WMenu::styleChanged() {
    highlightStyle = highlightOf(getStyle());
    WLayout::styleChanged();
    layOut();
}

void WMenu::pointerEvent(const rfb::Point& position, int mask) {
    {
        MenuEventFrame frame;
        bool pressed = (mask & ~routedButtons) != 0;
        routedButtons = mask;
        bool outside = !rfb::Rect(0, 0, width(), height()).contains(position);
        if (pressed && outside && isPopup())
            closeAll();
        else
            WLayout::pointerEvent(position, mask);
    }
    runPendingActivation();
}

void WMenu::keyPress(int keysym, bool down) {
    {
        MenuEventFrame frame;
        if (down)
            handleKey(keysym::legacyKeysym(keysym));
    }
    runPendingActivation();
}

void WMenu::handleKey(int keysym) {
    switch (keysym) {
    case keysym::Up:
        moveHighlight(-1);
        return;
    case keysym::Down:
        moveHighlight(1);
        return;
    case keysym::Left:
    case keysym::Right:
        if (highlighted && highlighted->offerKey(keysym))
            return;
        if (keyEvent(keysym, true, this))
            return;
        // Left from a submenu goes back to the menu that opened it.
        if (keysym == keysym::Left && parentMenu)
            parentMenu->closeSubmenu();
        return;
    case keysym::Return:
        if (highlighted && isSelectable(highlighted))
            highlighted->activated(highlighted);
        return;
    case keysym::Escape:
        closeAll();
        return;
    default:
        if (!activateByKey(keysym))
            keyEvent(keysym, true, this);
    }
}

bool WMenu::activateByKey(int keysym) {
    int key = foldLetter(keysym);
    int character = keysymToUnicode(std::uint32_t(keysym));
    for (WMenuItem* item : items) {
        if (!isSelectable(item))
            continue;
        bool shortcut =
            item->getShortcutKeysym() != 0 && foldLetter(item->getShortcutKeysym()) == key;
        if (shortcut || (character > 0 && item->matchesMnemonic(character))) {
            item->activated(item);
            return true;
        }
    }
    return false;
}

bool WMenu::activated(Widget* origin) {
    WMenuItem* item = findItem(origin);
    if (!item)
        return WLayout::activated(origin);
    if (!isSelectable(item))
        return true;
    if (item->getSubmenu()) {
        openSubmenu(item);
        return true;
    }
    if (eventDepth == 0)
        deliverActivation(item);
    else if (!pending.item)
        pending = {this, item};
    return true;
}

// The menus are hidden, and their grabs released, before anyone hears of the choice, so that the
// listener may open a dialog or destroy the menus. Nothing of them is touched after a listener
// took the call.
void WMenu::deliverActivation(WMenuItem* item) {
    closeAll();
    for (WMenu* menu = this; menu;) {
        WMenu* next = menu->parentMenu;
        if (menu->Widget::activated(item))
            return;
        menu = next;
    }
}

void WMenu::runPendingActivation() {
    if (eventDepth > 0 || !pending.item)
        return;
    PendingActivation chosen = std::exchange(pending, {});
    chosen.menu->deliverActivation(chosen.item);
}

bool WMenu::pointerMoved(const rfb::Point& position, Widget* origin) {
    WMenuItem* item = findItem(origin);
    if (item && isSelectable(item)) {
        highlight(item);
        if (item->getSubmenu())
            openSubmenu(item);
        else
            closeSubmenu();
    }
    return WLayout::pointerMoved(position, origin);
}

void WMenu::paint(rfb::FullFramePixelBuffer* pb) {
    const Style& style = getStyle();
    pb->fillRect({1, 1, width() - 1, height() - 1}, pixelOf(*pb, style.labelBg()));
    std::uint32_t outline = pixelOf(*pb, style.frame[5]);
    pb->fillRect({0, 0, width(), 1}, outline);
    pb->fillRect({0, height() - 1, width(), height()}, outline);
    pb->fillRect({0, 0, 1, height()}, outline);
    pb->fillRect({width() - 1, 0, width(), height()}, outline);
    WLayout::paint(pb);
}

} // namespace wvw
