// A label whose text marks one character with '&' ("&&" is a literal '&'); the marked character
// is underlined while mnemonics are shown and answers its key.
#pragma once

#include <wvw/WLabel.h>

namespace wvw {

class WLabelWithMnemonic : public WLabel {
public:
    explicit WLabelWithMnemonic(const char* markedText = "", int hAlign = 0,
                                WLayout* parentLayout = nullptr);

    void setMarkedText(const char* markedText);
    void setMnemonicShown(bool shown);
    // The marked character's code point, 0 for none.
    int getMnemonic() const { return mnemonic; }

    bool matchesMnemonic(int key) const override;
    void paint(rfb::FullFramePixelBuffer* pb) override;

private:
    int mnemonic = 0;
    // Byte offset of the marked character in the first line, -1 for none.
    int mnemonicOffset = -1;
    bool mnemonicShown = true;
};

} // namespace wvw
