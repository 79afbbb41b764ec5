// A stand-in for the window that hosts a widget tree: it has the focus, records damage, bells and
// the clipboard, and holds the keys a test says are down.
#pragma once

#include <wvw/WInputHandler.h>
#include <wvw/WParent.h>
#include <wvw/Widget.h>

#include <rfb/ManagedPixelBuffer.h>

#include <set>
#include <string>
#include <vector>

namespace wvwtest {

class TestWindow : public wvw::WParent, public wvw::WInputHandler {
public:
    // Attaches the content at size with this window as parent and handler.
    TestWindow(wvw::Widget& content, rfb::Point size);
    ~TestWindow() override;

    void invalidate(wvw::Widget*, const rfb::Region& region) override {
        damage.assignUnion(region);
    }
    void bell() override { ++bells; }
    bool setFocus(wvw::Widget*) override { return true; }
    bool hasFocus(const wvw::Widget* child) const override { return child == &content; }
    bool focusNext() override { return false; }
    bool focusPrev() override { return false; }
    bool isKeyDown(int keysym) const override { return keysDown.count(keysym) != 0; }
    plat::DString getClipboard() override { return plat::DString(clipboard.c_str()); }
    void setClipboard(const char* text) override { clipboard = text; }
    wvw::WRoot* getRoot(rfb::Point& screenPosition) override {
        screenPosition = {0, 0};
        return nullptr;
    }
    void showRect(wvw::Widget*, const rfb::Rect&) override {}
    void setDragImage(const rfb::Point&, rfb::PixelBuffer*) override {}

    bool activated(wvw::Widget* origin) override {
        activations.push_back(origin);
        return true;
    }

    // A key press and release as the window would deliver them.
    void type(int keysym);
    // Pointer at position (window coordinates) with the mask of held buttons.
    void pointer(rfb::Point position, int buttonMask) {
        content.pointerEvent(position, buttonMask);
    }
    void click(rfb::Point position) {
        pointer(position, 0);
        pointer(position, 1);
        pointer(position, 0);
    }
    // Paints the whole content into an rgb888 buffer.
    rfb::ManagedPixelBuffer& paint();

    wvw::Widget& content;
    rfb::Region damage;
    int bells = 0;
    std::string clipboard;
    std::set<int> keysDown;
    std::vector<wvw::Widget*> activations;
    rfb::ManagedPixelBuffer buffer;
};

// Switches the process's system colour provider between light and dark.
void setDarkMode(bool dark);

} // namespace wvwtest
