// The root of a widget's window, through the top of its layout chain.
#include <wvw/popupRoot.h>

#include <wvw/WLayout.h>
#include <wvw/WParent.h>

namespace wvw {

WRoot* findRoot(const Widget& widget, rfb::Point& screenPosition) {
    const Widget* top = &widget;
    while (top->getParentLayout())
        top = top->getParentLayout();
    rfb::Point ignored;
    WRoot* root = top->getParent() ? top->getParent()->getRoot(ignored) : nullptr;
    screenPosition = widget.getRootPosition();
    return root;
}

} // namespace wvw
