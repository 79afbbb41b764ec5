// The message box: an optional status icon beside a wrapped text, over a row of buttons; the
// first button means yes. Closing the box means no.
#pragma once

#include <tx/TXDialog.h>

#include <wvw/WImage.h>
#include <wvw/WLabel.h>
#include <wvw/WLabelButton.h>

#include <memory>
#include <vector>

namespace tx {

class TXMsgBox : public TXDialog {
public:
    // Buttons (bits 0 to 2; other values: none), icons (bits 4 to 7), and the focus.
    enum Flags : int {
        Ok = 0,
        OkCancel = 1,
        YesNo = 4,
        ButtonMask = 0x7,
        IconError = 0x10,
        IconQuestion = 0x20,
        IconWarning = 0x30,
        IconInfo = 0x40,
        IconMask = 0xF0,
        FocusLastButton = 0x100,
    };

    // The title is the application's display name, then " - " and title when one is given.
    TXMsgBox(TXWindow* parentWindow, const char* text, int flags, const char* title);
    ~TXMsgBox() override;

    void setText(const char* text, int hAlign = 1, int vAlign = 1);
    // The clicked button, -1 until one is.
    int getButtonIndex() const { return buttonIndex; }
    int buttonCount() const { return int(buttons.size()); }

protected:
    void mapChanged() override;

private:
    // Ends the box when one of its buttons is activated.
    class ButtonHandler : public wvw::WInputHandler {
    public:
        explicit ButtonHandler(TXMsgBox& box) : box(box) {}
        bool activated(wvw::Widget* origin) override;

    private:
        TXMsgBox& box;
    };

    void layOut();
    std::vector<wvw::WLabelButton*> buttonList() const;

    int buttonIndex = -1;
    wvw::WLabel label;
    std::vector<std::unique_ptr<wvw::WLabelButton>> buttons;
    int flags;
    wvw::WImage image;
    ButtonHandler buttonHandler{*this};
};

// Runs a message box and returns its result.
bool showMessageBox(TXWindow* parentWindow, const char* text, int flags, const char* title);

} // namespace tx
