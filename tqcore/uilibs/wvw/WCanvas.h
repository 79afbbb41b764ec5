// The content of a dialog window: a routing layout that fills its whole area with the dialog
// background before it paints its children.
#pragma once

#include <wvw/WLayout.h>

namespace wvw {

class WCanvas : public WLayout {
public:
    explicit WCanvas(WLayout* parentLayout = nullptr) : WLayout(true, parentLayout) {}

    void paint(rfb::FullFramePixelBuffer* pb) override;
};

} // namespace wvw
