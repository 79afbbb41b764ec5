// An image control: shows a named image, aligned in the widget or tiled over it.
#pragma once

#include <wvw/Widget.h>

#include <tqutil/NamedImagePixelBuffer.h>

#include <memory>

namespace wvw {

class WImage : public Widget {
public:
    // A null name makes an empty control.
    explicit WImage(const char* name = nullptr, rfb::Point size = {},
                    WLayout* parentLayout = nullptr);

    // False only when no non-empty image could be loaded (the control is then empty); a null
    // name removes the image and answers true. A control of size 0x0 takes the image's size.
    bool setImage(const char* name, rfb::Point size);
    void setAlignment(int hAlign, int vAlign);
    void setTile(bool tile);
    bool hasImage() const { return image != nullptr; }
    rfb::PixelBuffer* getImage() const { return image.get(); }

    void paint(rfb::FullFramePixelBuffer* pb) override;
    rfb::Point getPreferredSize() override;
    bool acceptsFocus() const override { return false; }

private:
    std::shared_ptr<tqutil::NamedImagePixelBuffer> image;
    int hAlign = 1;
    int vAlign = 1;
    bool tile = false;
};

} // namespace wvw
