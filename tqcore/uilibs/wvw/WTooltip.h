// A tooltip: a short rich text on the help background in a frame, shown in a pop-up window next
// to a widget and kept on the screen.
#pragma once

#include <wvw/Style.h>
#include <wvw/WLayout.h>
#include <wvw/WRichText.h>

namespace wvw {

class WRoot;

class WTooltip : public WLayout {
public:
    static constexpr int Border = 2;

    // The text wraps at maxWidth.
    explicit WTooltip(int maxWidth, WLayout* parentLayout = nullptr);
    // Hides the tooltip first.
    ~WTooltip() override;

    // Plain text, shown as it is.
    void setText(const char* text);
    void setMarkup(const char* markup);
    // At position relative to widget; to the left of the widget instead when it would pass the
    // right edge of the screen, above it when it would pass the bottom. A widget in no window
    // shows nothing.
    void show(const rfb::Point& position, Widget* widget);
    void hide();
    bool isShown() const { return shownOn != nullptr; }
    const WRichText& getRichText() const { return text; }

    void paint(rfb::FullFramePixelBuffer* pb) override;
    bool acceptsFocus() const override { return false; }

private:
    void layOut();

    WRichText text;
    int maxWidth;
    WRoot* shownOn = nullptr;
    Style style;
};

} // namespace wvw
