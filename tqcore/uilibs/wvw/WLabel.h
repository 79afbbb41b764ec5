// A text label: word-wrapped lines aligned in the widget, optionally underlined, and optionally
// selectable with the pointer and copied to the clipboard.
#pragma once

#include <wvw/WEditMenu.h>
#include <wvw/Widget.h>

#include <memory>
#include <string>
#include <vector>

namespace wvw {

class WLabel : public Widget, public WEditMenu::Callback {
public:
    // Alignments: 0 left or top, 1 centre, 2 right or bottom.
    explicit WLabel(const char* text = "", int hAlign = 0, WLayout* parentLayout = nullptr);

    // Invalid UTF-8 is shown as U+FFFD. A new text drops the selection.
    void setText(const char* text);
    const char* getText() const { return text.c_str(); }
    void setAlignment(int hAlign, int vAlign);
    void setPadding(int pixels);
    void setWrap(bool wrap);
    void setTransparent(bool transparent);
    void setUnderline(bool underline);
    void setSelectable(bool selectable);
    void selectAll();

    // The display lines and where the selection lies, in bytes of the lines set end to end.
    const std::vector<std::string>& getLines() const { return lines; }
    int getSelectionStart() const { return selStart; }
    int getSelectionLength() const { return selLength; }
    int getPadding() const { return padding; }
    int getVAlign() const { return vAlign; }
    bool isWrapping() const { return wrap; }

    virtual void relayout();
    // The byte offset, in the lines set end to end, of the character boundary nearest to point.
    virtual int charIndexAt(const rfb::Point& point);

    void paint(rfb::FullFramePixelBuffer* pb) override;
    rfb::Point getPreferredSize() override;
    rfb::Point getMinimumSize() override;
    int getHeightForWidth(int width) override;
    void setSize(const rfb::Point& size) override;
    void styleChanged() override;
    bool acceptsFocus() const override;
    bool copy(Widget* origin) override;
    bool focusChanged(bool backward, Widget* origin) override;
    bool pointerMoved(const rfb::Point& position, Widget* origin) override;
    bool buttonPressed(int button, Widget* origin) override;
    bool buttonReleased(int button, Widget* origin) override;
    void editAction(int action) override;

protected:
    // Top-left of line i's box.
    rfb::Point lineOrigin(int line) const;
    int lineHeight() const;
    // The selected text, lines joined by line feeds; empty without a selection.
    std::string selectedText() const;
    // Opens the edit menu (copy and select all) at position; a label in no window has no screen
    // to show it on.
    virtual void openEditMenu(const rfb::Point& position);

private:
    int wrapWidth(int width) const;
    std::vector<std::string> breakText(int width) const;
    int preferredHeight() const;

    std::string text;
    std::vector<std::string> lines;
    std::vector<int> lineWidths;
    int hAlign;
    int vAlign = 1;
    int padding = 4;
    bool wrap = true;
    bool transparent = false;
    bool underline = false;
    bool selectable = false;
    bool selecting = false;
    int selStart = 0;
    int selLength = 0;
    int textLength = 0;
    std::unique_ptr<WEditMenu> editMenu;
};

} // namespace wvw
