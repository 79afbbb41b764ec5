// A window that hosts a widget tree: it attaches the content while mapped, keeps a back buffer
// that the widgets paint into, repaints damage shortly after it is reported, and turns X key,
// pointer and crossing events into widget input.
#pragma once

#include <tx/TXWindow.h>

#include <wvw/WInputHandler.h>
#include <wvw/WParent.h>
#include <wvw/Widget.h>

#include <rfb/Region.h>

#include <plat/Timer.h>

#include <map>
#include <memory>

namespace wvw {
class WTooltip;
}

namespace tx {

class TXImage;

class TXWParent : public TXWindow,
                  public wvw::WParent,
                  private TXEventHandler,
                  private wvw::WInputHandler,
                  private plat::Timer::Callback,
                  private wvw::WMouseInputHandler {
public:
    static constexpr int RepaintDelayMs = 10;
    // The pointer rests this long on a widget before its tooltip shows.
    static constexpr int TooltipDelayMs = 500;
    static constexpr int TooltipMaxWidth = 320;

    // A 1x1 window; with a widget, that widget becomes its content.
    TXWParent(wvw::Widget* widget, TXWindow* parentWindow, bool overrideRedirect);
    ~TXWParent() override;

    // The content is not owned; null leaves the window empty. The content is made visible.
    void setWidget(wvw::Widget* widget);
    wvw::Widget* getWidget() const { return content; }

    // wvw::WParent, for the content.
    void invalidate(wvw::Widget* child, const rfb::Region& region) override;
    void bell() override;
    bool setFocus(wvw::Widget* child) override { return child == content; }
    bool hasFocus(const wvw::Widget* child) const override;
    // The window has nothing to move on to: the content wraps.
    bool focusNext() override { return false; }
    bool focusPrev() override { return false; }
    bool isKeyDown(int keysym) const override;
    plat::DString getClipboard() override;
    void setClipboard(const char* text) override;
    wvw::WRoot* getRoot(rfb::Point& screenPosition) override;
    void showRect(wvw::Widget*, const rfb::Rect&) override {}
    void setDragImage(const rfb::Point&, rfb::PixelBuffer*) override {}

protected:
    void mapChanged() override;
    void sizeChanged() override;
    void focusChanged() override;
    // Window events the host turns into widget input; true when handled.
    bool handleEvent(XEvent& event) override;

private:
    // The widgets' notification of the same name is not the window's.
    using wvw::WInputHandler::focusChanged;

    bool timerExpired(plat::Timer* timer) override;
    // The tooltip follows the pointer: wvw::WMouseInputHandler and wvw::WInputHandler.
    bool pointerMoved(const rfb::Point& position, wvw::Widget* origin) override;
    bool pointerLeft(wvw::Widget* origin) override;
    bool detached(wvw::Widget* origin, wvw::WParent* parent) override;
    void showTooltip();
    void cancelTooltip();
    void repaint(const rfb::Rect& area);
    void repaintDamage();
    void handleExpose(XEvent& event);
    void handleKey(XKeyEvent& event);
    void handleButton(XButtonEvent& event);
    void handleMotion(XMotionEvent& event);
    void pressKey(int keysym, bool down);
    void releaseAllKeys();
    void attachContent();
    void detachContent();

    wvw::Widget* content = nullptr;
    std::unique_ptr<TXImage> backBuffer;
    rfb::Region damage;
    plat::Timer repaintTimer;
    plat::Timer tooltipTimer;
    // The widget the pointer last moved on, and where, in its coordinates.
    wvw::Widget* tooltipWidget = nullptr;
    rfb::Point tooltipPosition;
    std::unique_ptr<wvw::WTooltip> tooltip;
    // The keysym each held key reported when it went down, by keycode.
    std::map<unsigned, int> keysDown;
};

} // namespace tx
