// A small filled triangle pointing left, right, up or down, as menus show for submenus.
#pragma once

#include <wvw/Widget.h>

namespace wvw {

class WArrow : public Widget {
public:
    enum Direction : int { Left = 0, Right = 1, Up = 2, Down = 3 };
    static constexpr int PreferredSide = 11;

    explicit WArrow(int direction = Right, WLayout* parentLayout = nullptr);

    int getDirection() const { return direction; }

    void paint(rfb::FullFramePixelBuffer* pb) override;
    rfb::Point getPreferredSize() override { return {PreferredSide, PreferredSide}; }

private:
    int direction;
    int inset = 2;
};

} // namespace wvw
