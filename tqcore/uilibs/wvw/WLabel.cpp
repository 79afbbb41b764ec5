// Label layout, sizes, painting with selection and underline, pointer selection and the edit
// menu.
#include <wvw/WLabel.h>

#include <wvw/Style.h>
#include <wvw/WParent.h>
#include <wvw/painting.h>
#include <wvw/popupRoot.h>

#include <rfb/FullFramePixelBuffer.h>

#include <plat/utf8.h>

#include <algorithm>

namespace wvw {

WLabel::WLabel(const char* initialText, int hAlign, WLayout* parentLayout)
    : Widget(parentLayout), hAlign(hAlign) {
    setText(initialText);
}

void WLabel::setText(const char* newText) {
    if (!newText)
        newText = "";
    if (text == newText)
        return;
    if (plat::isValidUtf8(newText))
        text.assign(newText);
    else
        text.assign(plat::sanitiseUtf8(newText).c_str());
    // The old selection's offsets mean nothing in the new text.
    selStart = 0;
    selLength = 0;
    selecting = false;
    relayout();
    invalidate();
}

void WLabel::setAlignment(int newHAlign, int newVAlign) {
    hAlign = newHAlign;
    vAlign = newVAlign;
    invalidate();
}

void WLabel::setPadding(int pixels) {
    padding = pixels;
    relayout();
    invalidate();
}

void WLabel::setWrap(bool newWrap) {
    wrap = newWrap;
    relayout();
    invalidate();
}

void WLabel::setTransparent(bool newTransparent) {
    transparent = newTransparent;
    invalidate();
}

void WLabel::setUnderline(bool newUnderline) {
    underline = newUnderline;
    invalidate();
}

void WLabel::setSelectable(bool newSelectable) {
    selectable = newSelectable;
    if (!selectable) {
        selStart = selLength = 0;
        selecting = false;
    }
    invalidate();
}

void WLabel::selectAll() {
    selStart = 0;
    selLength = textLength;
    setFocus();
    invalidate();
}

// A label narrower than its padding still wraps, every word on its own line: the font reads a
// width below 1 as no limit at all.
int WLabel::wrapWidth(int width) const {
    return std::max(1, width - 2 * padding);
}

int WLabel::lineHeight() const {
    return getStyle().font->height();
}

void WLabel::relayout() {
    lines = breakText(width());
    lineWidths.clear();
    textLength = 0;
    const tqutil::Font& font = *getStyle().font;
    for (const std::string& line : lines) {
        lineWidths.push_back(font.textWidth(line.c_str(), line.c_str() + line.size()));
        textLength += int(line.size());
    }
}

// A word wider than the label (a long path) is broken at character boundaries rather than left
// running past the label's edge. With no room at all the words stay whole, one to a line.
std::vector<std::string> WLabel::breakText(int forWidth) const {
    std::vector<std::string> result;
    if (text.empty())
        return result;
    const tqutil::Font& font = *getStyle().font;
    if (!wrap) {
        result.push_back(text);
        return result;
    }
    int room = forWidth - 2 * padding;
    for (const tqutil::Font::Line& line : font.wrapText(text.c_str(), wrapWidth(forWidth)).lines) {
        const char* begin = line.begin;
        while (room > 0 && font.textWidth(begin, line.end) > room) {
            const char* cut = font.fitText(begin, room, line.end);
            if (cut == begin) {
                int length = 1;
                plat::decodeUtf8(begin, std::size_t(line.end - begin), length);
                cut = begin + length;
            }
            result.emplace_back(begin, cut);
            begin = cut;
        }
        result.emplace_back(begin, line.end);
    }
    return result;
}

int WLabel::preferredHeight() const {
    return int(lines.size()) * lineHeight();
}

rfb::Point WLabel::getPreferredSize() {
    int widest = 0;
    for (int lineWidth : lineWidths)
        widest = std::max(widest, lineWidth);
    return {widest + 2 * padding, preferredHeight()};
}

rfb::Point WLabel::getMinimumSize() {
    if (lines.empty())
        return {0, 0};
    int total = 0;
    for (int lineWidth : lineWidths)
        total += lineWidth;
    int space = getStyle().font->charAdvance(' ');
    return {total + space * (int(lines.size()) - 1), 0};
}

int WLabel::getHeightForWidth(int forWidth) {
    if (!wrap)
        return lineHeight();
    return int(breakText(forWidth).size()) * lineHeight();
}

void WLabel::setSize(const rfb::Point& newSize) {
    if (newSize == getSize())
        return;
    Widget::setSize(newSize);
    relayout();
}

void WLabel::styleChanged() {
    relayout();
    Widget::styleChanged();
}

rfb::Point WLabel::lineOrigin(int line) const {
    int blockTop;
    switch (vAlign) {
    case 0:
        blockTop = padding;
        break;
    case 2:
        blockTop = height() - preferredHeight() - padding;
        break;
    default:
        blockTop = (height() - preferredHeight()) / 2;
    }
    int lineWidth = lineWidths[std::size_t(line)];
    int x;
    switch (hAlign) {
    case 0:
        x = padding;
        break;
    case 2:
        x = width() - lineWidth - padding;
        break;
    default:
        x = (width() - lineWidth) / 2;
    }
    return {x, blockTop + line * lineHeight()};
}

void WLabel::paint(rfb::FullFramePixelBuffer* pb) {
    const Style& style = getStyle();
    if (!transparent)
        pb->fillRect({0, 0, width(), height()}, pixelOf(*pb, style.labelBg()));
    const tqutil::Font& font = *style.font;
    std::uint32_t ink = pixelOf(*pb, isEnabled() ? style.text : style.disabledText);
    int selFrom = std::min(selStart, selStart + selLength);
    int selTo = std::max(selStart, selStart + selLength);
    bool showSelection = selFrom != selTo && hasFocus();
    int offset = 0;
    for (int i = 0; i < int(lines.size()); ++i) {
        const std::string& line = lines[std::size_t(i)];
        rfb::Point origin = lineOrigin(i);
        font.drawText(pb, line.c_str(), origin, ink, line.c_str() + line.size());
        int from = std::clamp(selFrom - offset, 0, int(line.size()));
        int to = std::clamp(selTo - offset, 0, int(line.size()));
        if (showSelection && from < to) {
            const char* begin = line.c_str();
            int x = origin.x + font.textWidth(begin, begin + from);
            int w = font.textWidth(begin + from, begin + to);
            pb->fillRect(rfb::Rect::fromXYWH(x, origin.y, w, font.height()),
                         pixelOf(*pb, style.selectionBg()));
            font.drawText(pb, begin + from, {x, origin.y}, pixelOf(*pb, style.selectionText()),
                          begin + to);
        }
        if (underline)
            pb->fillRect(rfb::Rect::fromXYWH(origin.x, origin.y + font.ascent() + 1,
                                             lineWidths[std::size_t(i)], 1),
                         ink);
        offset += int(line.size());
    }
}

int WLabel::charIndexAt(const rfb::Point& point) {
    if (lines.empty())
        return 0;
    int top = lineOrigin(0).y;
    int line = std::clamp((point.y - top) / std::max(1, lineHeight()), 0, int(lines.size()) - 1);
    if (point.y < top)
        line = 0;
    int offset = 0;
    for (int i = 0; i < line; ++i)
        offset += int(lines[std::size_t(i)].size());
    const std::string& text = lines[std::size_t(line)];
    const char* begin = text.c_str();
    const char* end = begin + text.size();
    const char* at = getStyle().font->charAtX(point.x - lineOrigin(line).x, begin, end);
    return offset + int(std::clamp(at, begin, end) - begin);
}

std::string WLabel::selectedText() const {
    int from = std::min(selStart, selStart + selLength);
    int to = std::max(selStart, selStart + selLength);
    std::string result;
    int offset = 0;
    bool first = true;
    for (const std::string& line : lines) {
        int start = std::clamp(from - offset, 0, int(line.size()));
        int length = std::clamp(to - offset, 0, int(line.size())) - start;
        offset += int(line.size());
        if (length <= 0)
            continue;
        // Only whole characters leave the label, whatever the offsets say.
        plat::clipToCharacters(line.c_str(), start, length);
        if (!first)
            result += '\n';
        result.append(line, std::size_t(start), std::size_t(length));
        first = false;
    }
    return result;
}

bool WLabel::acceptsFocus() const {
    return selectable && Widget::acceptsFocus();
}

bool WLabel::copy(Widget* origin) {
    if (origin == this && selectable && selLength != 0) {
        if (getParent())
            getParent()->setClipboard(selectedText().c_str());
        return true;
    }
    return Widget::copy(origin);
}

bool WLabel::focusChanged(bool backward, Widget* origin) {
    if (origin == this && selLength != 0)
        invalidate();
    return Widget::focusChanged(backward, origin);
}

bool WLabel::pointerMoved(const rfb::Point& position, Widget* origin) {
    if (origin == this && selectable) {
        if (!(getButtonMask() & 1)) {
            selecting = false;
        } else if (selecting) {
            selLength = charIndexAt(position) - selStart;
            invalidate();
        }
    }
    return Widget::pointerMoved(position, origin);
}

bool WLabel::buttonPressed(int button, Widget* origin) {
    if (origin == this && selectable && button == 1) {
        selecting = true;
        selStart = charIndexAt(getLastPointerPosition());
        selLength = 0;
        setFocus();
        invalidate();
    }
    return Widget::buttonPressed(button, origin);
}

bool WLabel::buttonReleased(int button, Widget* origin) {
    if (origin == this && selectable && button == 3)
        openEditMenu(getLastPointerPosition());
    return Widget::buttonReleased(button, origin);
}

void WLabel::openEditMenu(const rfb::Point& position) {
    rfb::Point onScreen;
    if (!findRoot(*this, onScreen))
        return;
    if (!editMenu)
        editMenu = std::make_unique<WEditMenu>(this, WEditMenu::Copy | WEditMenu::SelectAll);
    editMenu->popup(true, position, this);
}

void WLabel::editAction(int action) {
    if (action == WEditMenu::Copy)
        copy(this);
    else if (action == WEditMenu::SelectAll)
        selectAll();
}

} // namespace wvw
