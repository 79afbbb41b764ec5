// Building, laying out and running the message box.
#include <tx/TXMsgBox.h>

#include <tx/msgBoxLayout.h>
#include <tx/msgBoxTexts.h>

#include <loc/Localize.h>
#include <os/AppInfo.h>
#include <plat/keepLinked.h>
#include <tqutil/displayScale.h>

PLAT_KEEP_LINKED(tx::msgBoxTexts);

namespace tx {

namespace {

const char* iconName(int flags) {
    switch (flags & TXMsgBox::IconMask) {
    case TXMsgBox::IconError:
        return "statusError";
    case TXMsgBox::IconQuestion:
        return "statusQuestion";
    case TXMsgBox::IconWarning:
        return "statusWarning";
    case TXMsgBox::IconInfo:
        return "statusInfo";
    default:
        return nullptr;
    }
}

std::vector<const char*> buttonKeys(int flags) {
    switch (flags & TXMsgBox::ButtonMask) {
    case TXMsgBox::Ok:
        return {"tx_msgbox_ok"};
    case TXMsgBox::OkCancel:
        return {"tx_msgbox_ok", "tx_msgbox_cancel"};
    case TXMsgBox::YesNo:
        return {"tx_msgbox_yes", "tx_msgbox_no"};
    default:
        return {};
    }
}

const char* boxTitle(const char* title) {
    // Kept for the process: the window manager may read the name at any time.
    static plat::DString text;
    text.reserve(32);
    text.clear();
    if (os::AppInfo::getApp(true)[0])
        text.append(os::AppInfo::getDisplayName());
    if (title) {
        if (!text.isEmpty())
            text.append(" - ");
        text.append(title);
    }
    return text.c_str();
}

} // namespace

TXMsgBox::TXMsgBox(TXWindow* parentWindow, const char* text, int flags, const char* title)
    : TXDialog(parentWindow, boxTitle(title), true), label(text, 1), flags(flags) {
    if (const char* name = iconName(flags)) {
        int side = msgBoxIconSize(tqutil::ppmm().getValue());
        image.setImage(name, {side, side});
    }
    for (const char* key : buttonKeys(flags)) {
        auto button = std::make_unique<wvw::WLabelButton>(loc::Localize::instance().translate(key));
        button->setInputHandler(&buttonHandler);
        getCanvas().addChild(button.get());
        buttons.push_back(std::move(button));
    }
    if (image.hasImage())
        getCanvas().addChild(&image);
    getCanvas().addChild(&label);
    label.setAlignment(1, 1);
    layOut();
}

TXMsgBox::~TXMsgBox() {
    // The buttons leave the canvas as they go.
    buttons.clear();
}

void TXMsgBox::setText(const char* text, int hAlign, int vAlign) {
    label.setText(text);
    label.setAlignment(hAlign, vAlign);
    layOut();
}

std::vector<wvw::WLabelButton*> TXMsgBox::buttonList() const {
    std::vector<wvw::WLabelButton*> list;
    for (const auto& button : buttons)
        list.push_back(button.get());
    return list;
}

void TXMsgBox::layOut() {
    setDialogSize(
        layOutMessageBox(getCanvas(), label, image.hasImage() ? &image : nullptr, buttonList()));
}

void TXMsgBox::mapChanged() {
    TXDialog::mapChanged();
    if (!isMapped())
        return;
    layOut();
    if (buttons.empty())
        return;
    getCanvas().setFocus((flags & FocusLastButton) ? buttons.back().get() : buttons.front().get());
}

bool TXMsgBox::ButtonHandler::activated(wvw::Widget* origin) {
    for (int i = 0; i < int(box.buttons.size()); ++i) {
        if (box.buttons[std::size_t(i)].get() != origin)
            continue;
        box.buttonIndex = i;
        box.endDialog(i == 0);
        return true;
    }
    return false;
}

bool showMessageBox(TXWindow* parentWindow, const char* text, int flags, const char* title) {
    TXMsgBox box(parentWindow, text, flags, title);
    return box.run();
}

} // namespace tx
