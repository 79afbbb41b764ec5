// A container that places its children at explicit positions, routes keys to its focus child and
// (when asked to) pointer events to the child under the pointer, passes their damage and requests
// up, and paints them in list order. It never owns its children.
#pragma once

#include <wvw/WParent.h>
#include <wvw/Widget.h>

#include <vector>

namespace wvw {

class WLayout : public Widget, public WParent {
public:
    explicit WLayout(bool routePointer, WLayout* parentLayout = nullptr);
    // Detaches the children that are still listed and lets them go.
    ~WLayout() override;

    // WParent, for the children.
    void invalidate(Widget* child, const rfb::Region& region) override {
        invalidateChild(child, region);
    }
    void bell() override;
    bool setFocus(Widget* child) override;
    bool hasFocus(const Widget* child) const override;
    bool focusNext() override;
    bool focusPrev() override;
    bool isKeyDown(int keysym) const override;
    plat::DString getClipboard() override;
    void setClipboard(const char* text) override;
    WRoot* getRoot(rfb::Point& screenPosition) override;
    void showRect(Widget* child, const rfb::Rect& rect) override;
    void setDragImage(const rfb::Point& position, rfb::PixelBuffer* image) override;

    virtual void invalidateChild(Widget* child, const rfb::Region& region);
    // The child goes at 0,0; with relativeTo, before or after it in the list, else at the end.
    virtual void addChild(Widget* child);
    virtual void insertChild(Widget* child, Widget* relativeTo, bool before);
    virtual void addChild(Widget* child, const rfb::Rect& rect);
    virtual void removeChild(Widget* child);
    virtual void setChildPosition(Widget* child, const rfb::Point& position);
    virtual void setChildRect(Widget* child, const rfb::Rect& rect);
    // Asking for a widget that is not a child fails an assertion.
    virtual rfb::Point getChildPosition(const Widget* child) const;
    virtual rfb::Rect getChildRect(const Widget* child) const;

    // Widget.
    using Widget::hasFocus;
    using Widget::invalidate;
    using Widget::setFocus;
    void styleChanged() override;
    void setParent(WParent* parent, WInputHandler* parentInput,
                   WMouseInputHandler* parentMouse) override;
    void clearParent() override;
    void pointerEvent(const rfb::Point& position, int buttonMask) override;
    void pointerLeave() override;
    void keyPress(int keysym, bool down) override;
    void paint(rfb::FullFramePixelBuffer* pb) override;
    rfb::Point getPreferredSize() override;
    bool acceptsFocus() const override;
    void setEnabled(bool enabled) override;

    // Gives the focus to the first (or last) child that takes it, descending into layouts.
    bool focusFirst();
    bool focusLast();

    Widget* getFocusChild() const { return focusChild; }
    int childCount() const { return int(children.size()); }
    Widget* childAt(int index) const { return children[std::size_t(index)].widget; }
    void setMargin(const rfb::Point& extra) { margin = extra; }

protected:
    void setPropagateEnabled(bool propagate) { propagateEnabled = propagate; }

private:
    struct Child {
        Widget* widget;
        rfb::Point position;
    };

    std::vector<Child>::iterator find(const Widget* child);
    std::vector<Child>::const_iterator find(const Widget* child) const;
    void attachChild(Widget* child);
    // The first visible child under the point (only enabled ones while buttons are held).
    Widget* childUnder(const rfb::Point& position, bool buttonsHeld) const;
    bool focusInto(Widget* child, bool forward);
    bool moveFocus(bool forward);

    Widget* focusChild = nullptr;
    Widget* captureChild = nullptr;
    // The child the pointer was last over; null for the layout's own area.
    Widget* pointerChild = nullptr;
    bool pointerInside = false;
    int routedMask = 0;
    std::vector<Child> children;
    std::vector<Widget*> attachedChildren;
    rfb::Point margin;
    bool routePointer;
    bool propagateEnabled = false;
};

} // namespace wvw
