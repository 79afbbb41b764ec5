// A bevel button whose content is a centred label; at least 60 pixels wide by preference.
#pragma once

#include <wvw/WBevelButton.h>
#include <wvw/WLabel.h>

namespace wvw {

class WLabelButton : public WBevelButton {
public:
    static constexpr int MinimumPreferredWidth = 60;

    explicit WLabelButton(const char* text, WLayout* parentLayout = nullptr);
    ~WLabelButton() override;

    WLabel& getLabel() { return label; }
    rfb::Point getPreferredSize() override;

private:
    WLabel label;
};

} // namespace wvw
