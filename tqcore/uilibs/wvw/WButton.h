// A push button: pressed while the first pointer button is held on it, activated by a release
// inside it or by Return or space while it has the focus.
#pragma once

#include <wvw/WLayout.h>

namespace wvw {

class WButton : public WLayout {
public:
    explicit WButton(WLayout* parentLayout = nullptr);

    bool isPressed() const { return pressed; }

    void keyPress(int keysym, bool down) override;
    bool acceptsFocus() const override { return Widget::acceptsFocus(); }
    bool pointerMoved(const rfb::Point& position, Widget* origin) override;
    bool buttonPressed(int button, Widget* origin) override;
    bool buttonReleased(int button, Widget* origin) override;

private:
    void setPressed(bool pressed);

    bool pressed = false;
};

} // namespace wvw
