// Menus: columns on a short screen, placement on the screen, keys, separators-only and empty
// menus, submenus, and the edit menu announcing a choice only once it is hidden.
#include "support/TestScreen.h"

#include <wvw/Style.h>
#include <wvw/WCanvas.h>
#include <wvw/WEditMenu.h>
#include <wvw/WLabel.h>
#include <wvw/WMenuItem.h>
#include <wvw/WRootMenu.h>
#include <wvw/keysyms.h>
#include <wvw/painting.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>

using wvwtest::ScreenWindow;
using wvwtest::TestScreen;

namespace {

// Only the press: a key that closes a pop-up takes its window with it, as on the screen.
void press(ScreenWindow& window, int keysym) {
    window.content.keyPress(keysym, true);
}

struct Recorder : wvw::WInputHandler {
    bool activated(wvw::Widget* origin) override {
        chosen.push_back(origin);
        menuShownWhenChosen = menu->isShown();
        return true;
    }
    wvw::WRootMenu* menu = nullptr;
    std::vector<wvw::Widget*> chosen;
    bool menuShownWhenChosen = true;
};

struct MenuTest : ::testing::Test {
    MenuTest() {
        canvas.setChildRect(&anchor, {0, 0, 100, 20});
        recorder.menu = &menu;
        menu.setInputHandler(&recorder);
    }
    wvw::WMenuItem& add(const char* text) {
        items.push_back(std::make_unique<wvw::WMenuItem>(&menu, text));
        return *items.back();
    }
    void open(rfb::Point at = {10, 10}) { menu.popup(true, at, &anchor); }
    ScreenWindow& popup() { return *screen.windowOf(&menu); }

    TestScreen screen;
    wvw::WCanvas canvas;
    wvw::WLabel anchor{"anchor", 0, &canvas};
    ScreenWindow window{canvas, {200, 100}, screen, {100, 50}};
    wvw::WRootMenu menu;
    Recorder recorder;
    std::vector<std::unique_ptr<wvw::WMenuItem>> items;
};

TEST_F(MenuTest, ItemsBeyondTheScreenHeightTakeFurtherColumnsOnTheScreen) {
    screen.area = {0, 0, 1280, 120};
    for (int i = 0; i < 12; ++i)
        add("Item");
    open();

    std::set<int> columns;
    for (auto& item : items) {
        rfb::Rect rect = menu.getChildRect(item.get());
        columns.insert(rect.tl.x);
        EXPECT_LE(rect.br.y + wvw::WMenu::Margin, 120);
        EXPECT_EQ(rect.width(), items[0]->width());
    }
    EXPECT_GT(columns.size(), 1u);
    EXPECT_LE(menu.height(), 120);
}

TEST_F(MenuTest, AnItemTallerThanTheMaximumHeightStillTakesTheFirstColumn) {
    add("One");
    add("Two");
    menu.setMaxHeight(5);

    EXPECT_EQ(menu.getChildPosition(items[0].get()), rfb::Point(4, 4));
    EXPECT_EQ(menu.getChildPosition(items[1].get()), rfb::Point(8 + items[0]->width(), 4));
}

TEST_F(MenuTest, OpenedNearTheBottomRightCornerItLiesWhollyOnTheScreen) {
    add("Copy");
    add("Select All");
    open({1170, 960});

    ASSERT_EQ(screen.popups.size(), 1u);
    EXPECT_TRUE(screen.popups[0].grab);
    EXPECT_EQ(popup().position, rfb::Point(1280 - menu.width(), 1024 - menu.height()));
}

TEST_F(MenuTest, TypingCapitalCChoosesTheItemWithMnemonicCAfterTheMenuHid) {
    add("Cu&t");
    wvw::WMenuItem& copy = add("&Copy");
    open();
    press(popup(), 'C');

    EXPECT_EQ(recorder.chosen, std::vector<wvw::Widget*>{&copy});
    EXPECT_FALSE(recorder.menuShownWhenChosen);
    EXPECT_TRUE(screen.popups.empty());
}

TEST_F(MenuTest, UpOnTheFirstItemHighlightsTheLastEnabledOneAndDownWrapsBack) {
    wvw::WMenuItem& first = add("First");
    wvw::WMenuItem& last = add("Last");
    add("Disabled").setEnabled(false);
    add(nullptr);
    open();
    ASSERT_EQ(menu.getHighlighted(), &first);

    press(popup(), wvw::keysym::Up);
    EXPECT_EQ(menu.getHighlighted(), &last);
    EXPECT_EQ(&last.getStyle(), &menu.getHighlightStyle());
    press(popup(), wvw::keysym::Down);
    EXPECT_EQ(menu.getHighlighted(), &first);
    EXPECT_NE(&last.getStyle(), &menu.getHighlightStyle());
}

// Up and Down used to search for ever without an enabled item.
TEST_F(MenuTest, SeparatorsOnlyAndEmptyMenusHighlightNothingAndIgnoreTheirKeys) {
    for (bool separators : {true, false}) {
        if (separators) {
            add(nullptr);
            add(nullptr);
        }
        open();
        for (int key : {wvw::keysym::Up, wvw::keysym::Down, wvw::keysym::Return, int('a')})
            press(popup(), key);
        popup().click(separators ? rfb::Point(5, 6) : rfb::Point(1, 1));

        EXPECT_EQ(menu.getHighlighted(), nullptr);
        EXPECT_TRUE(recorder.chosen.empty());
        EXPECT_TRUE(menu.isShown());
        menu.popup(false, {}, nullptr);
        items.clear();
    }
}

TEST_F(MenuTest, ASubmenuOpensBesideItsItemGoesWithLeftAndEscapeClosesEveryMenu) {
    items.push_back(std::make_unique<wvw::WMenuItem>(&menu, "More", nullptr, true));
    wvw::WMenu& submenu = *items[0]->getSubmenu();
    wvw::WMenuItem inner(&submenu, "Inner");
    open();

    press(popup(), wvw::keysym::Right);
    ASSERT_NE(screen.windowOf(&submenu), nullptr);
    EXPECT_EQ(screen.windowOf(&submenu)->position,
              popup()
                  .position.translate(menu.getChildRect(items[0].get()).tl)
                  .translate({items[0]->width(), 0}));
    press(*screen.windowOf(&submenu), wvw::keysym::Left);
    EXPECT_EQ(screen.windowOf(&submenu), nullptr);

    popup().pointer(menu.getChildPosition(items[0].get()).translate({2, 2}), 0);
    ASSERT_NE(screen.windowOf(&submenu), nullptr);
    press(*screen.windowOf(&submenu), wvw::keysym::Return);
    EXPECT_EQ(recorder.chosen, std::vector<wvw::Widget*>{&inner});
    EXPECT_TRUE(screen.popups.empty());
}

TEST_F(MenuTest, APressOutsideClosesTheMenuWithoutChoosing) {
    add("Copy");
    open();
    popup().pointer({-5, -5}, 1);

    EXPECT_FALSE(menu.isShown());
    EXPECT_TRUE(recorder.chosen.empty());
}

TEST_F(MenuTest, TheHighlightedItemShowsTheSelectionColoursAndSeparatorsTheirGreys) {
    add("Copy");
    wvw::WMenuItem& separator = add(nullptr);
    open();
    const wvw::Style& style = wvw::Style::defaultStyle();
    rfb::ManagedPixelBuffer& pb = popup().paint();
    auto colourAt = [&](rfb::Point p) { return wvw::colourOf(pb, pb.getPixel(p)); };
    rfb::Point item = menu.getChildPosition(items[0].get());
    rfb::Point line = menu.getChildPosition(&separator);

    EXPECT_EQ(colourAt(item.translate({1, 1})), style.selectionBg());
    EXPECT_EQ(colourAt(line.translate({1, 2})), style.frame[5]);
    EXPECT_EQ(colourAt(line.translate({1, 3})), style.frame[4]);
    EXPECT_EQ(colourAt({0, 0}), style.frame[5]);
}

// The owner of an edit menu that goes away with its choice.
struct DisposableOwner : wvw::WEditMenu::Callback {
    void editAction(int action) override {
        actions.push_back(action);
        shownDuringAction = menu->isShown();
        menu.reset();
    }
    std::unique_ptr<wvw::WEditMenu> menu;
    std::vector<int> actions;
    bool shownDuringAction = true;
};

TEST_F(MenuTest, TheEditMenuReportsItsActionOnceHiddenAndMayBeDestroyedByIt) {
    for (bool byPointer : {true, false}) {
        DisposableOwner owner;
        owner.menu = std::make_unique<wvw::WEditMenu>(&owner, 7);
        wvw::WRootMenu& editMenu = owner.menu->getMenu();
        owner.menu->popup(true, {5, 5}, &anchor);
        ScreenWindow& shown = *screen.windowOf(&editMenu);
        ASSERT_EQ(editMenu.getItems().size(), 3u);
        EXPECT_STREQ(editMenu.getItems()[1]->getText(), "Paste");
        EXPECT_STREQ(editMenu.getItems()[2]->getText(), "Select All");
        EXPECT_STREQ(editMenu.getItems()[0]->getShortcutText(), "Ctrl+C");
        if (byPointer) {
            shown.click(editMenu.getChildPosition(editMenu.getItems()[2]).translate({3, 3}));
        } else {
            press(shown, wvw::keysym::Down);
            press(shown, wvw::keysym::Return);
        }

        EXPECT_EQ(owner.actions, std::vector<int>{byPointer ? 4 : 2});
        EXPECT_FALSE(owner.shownDuringAction);
        EXPECT_TRUE(screen.popups.empty());
    }
}

} // namespace
