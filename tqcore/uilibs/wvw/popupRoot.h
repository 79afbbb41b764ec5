// Finding the screen a widget is shown on, for the pop-ups that open next to it.
#pragma once

#include <rfb/Rect.h>

namespace wvw {

class Widget;
class WRoot;

// The popup manager of the window that shows the widget, or null for a widget in no window;
// screenPosition receives where the widget's origin lies on the screen.
WRoot* findRoot(const Widget& widget, rfb::Point& screenPosition);

} // namespace wvw
