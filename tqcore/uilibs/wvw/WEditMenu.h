// The context menu offered on selectable text. Only its callback exists so far; the menu itself
// comes with the pop-up menus, and until then asking for it shows nothing.
#pragma once

namespace wvw {

class WEditMenu {
public:
    // Items and actions: 1 copy, 2 paste, 4 select all.
    enum : int { Copy = 1, Paste = 2, SelectAll = 4 };

    class Callback {
    public:
        virtual ~Callback() = default;
        virtual void editAction(int action) = 0;
    };
};

} // namespace wvw
