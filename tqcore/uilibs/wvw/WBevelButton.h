// A button drawn as a face with rounded two-tone borders around a content widget.
#pragma once

#include <wvw/WButton.h>

namespace wvw {

class WBevelButton : public WButton {
public:
    explicit WBevelButton(WLayout* parentLayout = nullptr);

    // The content is not owned; it sits 3 pixels inside the border.
    void setContent(Widget* content);
    Widget* getContent() const { return content; }

    void setSize(const rfb::Point& size) override;
    rfb::Point getPreferredSize() override;
    void paint(rfb::FullFramePixelBuffer* pb) override;
    bool focusChanged(bool backward, Widget* origin) override;

private:
    void placeContent();

    Widget* content = nullptr;
};

} // namespace wvw
