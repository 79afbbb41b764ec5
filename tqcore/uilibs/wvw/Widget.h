// The base of every control: a rectangle that paints itself into a pixel buffer, takes key and
// pointer input from its container, and reports what happens to it through a chain of handlers
// (its own handler first, then its container's).
#pragma once

#include <wvw/WInputHandler.h>

#include <rfb/Rect.h>
#include <rfb/Region.h>

#include <plat/Timer.h>

#include <string>

namespace rfb {
class FullFramePixelBuffer;
}

namespace wvw {

class WLayout;
class WParent;
class WRoot;
struct Style;

// What a widget tells its listener about pointer use; positions in the widget's coordinates.
struct WidgetEvent {
    enum Type : int {
        ButtonPressed = 0,
        Click = 1,
        DoubleClick = 2,
        ClickConfirmed = 3, // no second click followed within the click time
        PointerMoved = 4,
        PointerLeft = 5,
        ContextClick = 6,
    };

    int type;
    rfb::Point position;
    class Widget* widget;
};

class WidgetEventCallback {
public:
    virtual ~WidgetEventCallback() = default;
    virtual void widgetEvent(const WidgetEvent& event) = 0;
};

class Widget : public WInputHandler, public WMouseInputHandler, private plat::Timer::Callback {
public:
    static constexpr int ClickTimeMs = 500;

    // With a layout, the widget adds itself to it at 0,0.
    explicit Widget(WLayout* parentLayout = nullptr);
    // Leaves its layout (and with it the layout's focus, capture and attached set) and stops its
    // timer, so that nothing keeps a pointer to a destroyed widget.
    ~Widget() override;
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    // The handler chain: the own handler, then the container's; true when one consumed the call.
    bool keyEvent(int keysym, bool down, Widget* origin) override;
    bool focusChanged(bool backward, Widget* origin) override;
    bool activated(Widget* origin) override;
    bool stateChanged(Widget* origin, int value) override;
    bool visibilityChanged(Widget* origin) override;
    bool attached(Widget* origin) override;
    bool detached(Widget* origin, WParent* parent) override;
    bool enabledChanged(Widget* origin) override;
    bool resized(Widget* origin) override;
    bool paste(Widget* origin) override;
    bool copy(Widget* origin) override;

    // Repaints; a layout passes it to its children first.
    virtual void styleChanged();
    virtual void setTooltip(const char* text);
    virtual const char* getTooltip() const { return tooltip.c_str(); }

    // Attaching requires a detached widget.
    virtual void setParent(WParent* parent, WInputHandler* parentInput,
                           WMouseInputHandler* parentMouse);
    virtual void clearParent();

    // position in the widget's coordinates; buttonMask bit 0 is the first button.
    virtual void pointerEvent(const rfb::Point& position, int buttonMask);
    virtual void pointerLeave();
    virtual bool mnemonicEvent(int /*key*/) { return false; }
    virtual bool matchesMnemonic(int /*key*/) const { return false; }
    virtual bool dropEvent(const char* /*data*/, const rfb::Point& /*position*/) { return false; }
    // Room for subclasses; nothing calls them yet.
    virtual void reservedHook1() {}
    virtual void reservedHook2() {}
    virtual void keyPress(int keysym, bool down);
    // pb is in the widget's coordinates; only its rectangle needs painting.
    virtual void paint(rfb::FullFramePixelBuffer* pb) = 0;
    virtual void invalidate();
    virtual void invalidate(const rfb::Region& region);
    virtual void bell();
    virtual void setSize(const rfb::Point& size);
    virtual rfb::Point getPreferredSize() = 0;
    virtual rfb::Point getMinimumSize() { return getPreferredSize(); }
    virtual int getHeightForWidth(int /*width*/) { return getPreferredSize().y; }
    virtual void setVisible(bool visible);
    virtual bool acceptsFocus() const { return visible && enabled; }
    virtual void setEnabled(bool enabled);
    virtual void setInputHandler(WInputHandler* handler) { inputHandler = handler; }
    virtual void setMouseInputHandler(WMouseInputHandler* handler) { mouseHandler = handler; }
    // The widget's own reactions to the pointer, then the handler chain.
    bool pointerMoved(const rfb::Point& position, Widget* origin) override;
    bool buttonPressed(int button, Widget* origin) override;
    bool buttonReleased(int button, Widget* origin) override;
    bool pointerLeft(Widget* origin) override;
    virtual bool isKeyDown(int keysym) const;

    bool isVisible() const { return visible; }
    bool isEnabled() const { return enabled; }
    bool isAttached() const { return parent != nullptr; }
    bool hasFocus() const;
    bool setFocus();
    rfb::Point getSize() const { return size; }
    int width() const { return size.x; }
    int height() const { return size.y; }
    int getButtonMask() const { return buttonMask; }
    rfb::Point getLastPointerPosition() const { return pointerPos; }
    WParent* getParent() const { return parent; }
    WLayout* getParentLayout() const { return parentLayout; }
    // The first style set on the widget or up its layout chain, else the default style.
    const Style& getStyle() const;
    // Null gives the widget the inherited style again. The style must outlive its use.
    void setStyle(const Style* newStyle);
    void setListener(WidgetEventCallback* callback) { listener = callback; }
    // Where the widget's origin lies on the screen; 0,0 without a root.
    rfb::Point getRootPosition() const;

protected:
    bool ctrlHeld() const;
    bool shiftHeld() const;

private:
    friend class WLayout;

    bool timerExpired(plat::Timer* timer) override;
    void sendWidgetEvent(int type, const rfb::Point& position);
    void handleReleaseForClicks();
    void moveFocusOn(bool forward);

    WParent* parent = nullptr;
    WInputHandler* parentInput = nullptr;
    WInputHandler* inputHandler = nullptr;
    WMouseInputHandler* parentMouse = nullptr;
    WMouseInputHandler* mouseHandler = nullptr;
    bool visible = true;
    bool enabled = true;
    rfb::Point size;
    rfb::Point pointerPos;
    std::uint8_t buttonMask = 0;
    const Style* style = nullptr;
    WLayout* parentLayout = nullptr;
    std::string tooltip;
    WidgetEventCallback* listener = nullptr;
    // In root coordinates, so that a second click is recognised wherever the widget lies.
    rfb::Point clickPos;
    bool clickMoved = false;
    plat::Timer clickTimer;
};

} // namespace wvw
