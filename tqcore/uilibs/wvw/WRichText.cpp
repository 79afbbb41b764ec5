// Markup layout through the markup library's line breaker, with our fonts measuring.
#include <wvw/WRichText.h>

#include <wvw/Style.h>
#include <wvw/painting.h>

#include <rfb/FullFramePixelBuffer.h>

#include <plat/MarkupParserHtml.h>
#include <tqutil/fonts.h>

#include <algorithm>

namespace wvw {

WRichText::WRichText(const char* markup, int hAlign, WLayout* parentLayout)
    : WLabel("", hAlign, parentLayout) {
    setText(markup);
}

void WRichText::layOut(int width, std::vector<Piece>& into,
                       std::vector<plat::Markup::Layout::Line>& lines) {
    into.clear();
    target = &into;
    runOffset = 0;
    runFont = getStyle().font;
    plat::Markup::Layout layout(*this, width);
    plat::Markup::ParserHtml().render(getText(), layout);
    lines = layout.lines();
    blockHeight = layout.height();
    target = nullptr;
}

void WRichText::relayout() {
    int available = isWrapping() ? std::max(1, width() - 2 * getPadding())
                                 : plat::Markup::Layout::UnlimitedWidth;
    layOut(available, pieces, rows);
}

void WRichText::setStyle(const plat::Markup::Style& style) {
    const Style& widgetStyle = getStyle();
    runFont = style.isDefault() ? widgetStyle.font : tqutil::selectFont(style);
    runUnderline = (style.flags & (plat::Markup::Style::Link | plat::Markup::Style::Underline));
    runColour = widgetStyle.text;
    if (style.flags & plat::Markup::Style::Link)
        runColour = widgetStyle.blue;
    else if (!style.color.isNull())
        plat::getColor(style.color.get(), runColour);
}

int WRichText::textWidth(const char* text, int length) {
    return runFont->textWidth(text, text + length);
}

void WRichText::addFragment(const plat::Markup::Layout::Fragment& fragment) {
    target->push_back(Piece{std::string(fragment.text, std::size_t(fragment.length)),
                            {fragment.x, fragment.y},
                            fragment.width,
                            fragment.line,
                            runFont,
                            runColour,
                            runUnderline,
                            runOffset});
    runOffset += fragment.length;
}

rfb::Point WRichText::pieceOrigin(const Piece& piece) const {
    const plat::Markup::Layout::Line& line = rows[std::size_t(piece.line)];
    int spare = line.available - line.used;
    int shift = line.alignment == 1 ? spare / 2 : line.alignment == 2 ? spare : 0;
    int top = (height() - blockHeight) / 2;
    if (getVAlign() == 0)
        top = getPadding();
    else if (getVAlign() == 2)
        top = height() - blockHeight - getPadding();
    return {getPadding() + piece.position.x + shift, top + piece.position.y};
}

void WRichText::paint(rfb::FullFramePixelBuffer* pb) {
    pb->fillRect({0, 0, width(), height()}, pixelOf(*pb, getStyle().labelBg()));
    for (const Piece& piece : pieces) {
        rfb::Point origin = pieceOrigin(piece);
        std::uint32_t ink = pixelOf(*pb, isEnabled() ? piece.colour : getStyle().disabledText);
        piece.font->drawText(pb, piece.text.c_str(), origin, ink,
                             piece.text.c_str() + piece.text.size());
        if (piece.underline)
            pb->fillRect(
                rfb::Rect::fromXYWH(origin.x, origin.y + piece.font->ascent() + 1, piece.width, 1),
                ink);
    }
}

int WRichText::charIndexAt(const rfb::Point& point) {
    for (const Piece& piece : pieces) {
        rfb::Point origin = pieceOrigin(piece);
        if (point.y < origin.y || point.y >= origin.y + piece.font->height() ||
            point.x >= origin.x + piece.width)
            continue;
        const char* begin = piece.text.c_str();
        const char* end = begin + piece.text.size();
        const char* at = piece.font->charAtX(point.x - origin.x, begin, end);
        return piece.offset + int(std::clamp(at, begin, end) - begin);
    }
    return pieces.empty() ? 0 : pieces.back().offset + int(pieces.back().text.size());
}

rfb::Point WRichText::getPreferredSize() {
    int widest = 0;
    for (const plat::Markup::Layout::Line& line : rows)
        widest = std::max(widest, line.left + line.used);
    return {widest + 2 * getPadding(), blockHeight};
}

int WRichText::getHeightForWidth(int forWidth) {
    std::vector<Piece> scratchPieces;
    std::vector<plat::Markup::Layout::Line> scratchRows;
    int saved = blockHeight;
    layOut(std::max(1, forWidth - 2 * getPadding()), scratchPieces, scratchRows);
    int result = blockHeight;
    blockHeight = saved;
    return result;
}

} // namespace wvw
