// A label whose text is markup: runs of their own fonts and colours, links underlined, each
// paragraph aligned as the markup says.
#pragma once

#include <wvw/WLabel.h>

#include <plat/MarkupLayout.h>
#include <plat/colorTable.h>
#include <tqutil/Font.h>

#include <memory>
#include <string>
#include <vector>

namespace wvw {

class WRichText : public WLabel, private plat::Markup::Layout::Callback {
public:
    explicit WRichText(const char* markup = "", int hAlign = 0, WLayout* parentLayout = nullptr);

    void relayout() override;
    int charIndexAt(const rfb::Point& point) override;
    void paint(rfb::FullFramePixelBuffer* pb) override;
    rfb::Point getPreferredSize() override;
    int getHeightForWidth(int width) override;

private:
    struct Piece {
        std::string text;
        rfb::Point position; // before alignment
        int width;
        int line;
        std::shared_ptr<const tqutil::Font> font;
        plat::Rgb colour;
        bool underline;
        int offset; // bytes of the pieces before it
    };

    // Lays the markup out at a width (Layout::UnlimitedWidth without wrapping) into pieces.
    void layOut(int width, std::vector<Piece>& into, std::vector<plat::Markup::Layout::Line>& rows);
    rfb::Point pieceOrigin(const Piece& piece) const;

    double scale() override { return 1.0; }
    int paragraphSpacing() override { return 0; }
    void setStyle(const plat::Markup::Style& style) override;
    int textWidth(const char* text, int length) override;
    int lineHeight() override { return runFont->height(); }
    void addFragment(const plat::Markup::Layout::Fragment& fragment) override;

    std::vector<Piece> pieces;
    std::vector<plat::Markup::Layout::Line> rows;
    int blockHeight = 0;
    // State of the layout in progress.
    std::vector<Piece>* target = nullptr;
    std::shared_ptr<const tqutil::Font> runFont;
    plat::Rgb runColour;
    bool runUnderline = false;
    int runOffset = 0;
};

} // namespace wvw
