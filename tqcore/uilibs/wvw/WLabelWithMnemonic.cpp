// Mnemonic markers and their underline.
#include <wvw/WLabelWithMnemonic.h>

#include <wvw/Style.h>
#include <wvw/painting.h>

#include <rfb/FullFramePixelBuffer.h>

#include <plat/utf8.h>

#include <cctype>
#include <string>

namespace wvw {

WLabelWithMnemonic::WLabelWithMnemonic(const char* markedText, int hAlign, WLayout* parentLayout)
    : WLabel("", hAlign, parentLayout) {
    setMarkedText(markedText);
}

void WLabelWithMnemonic::setMarkedText(const char* markedText) {
    std::string plain;
    int marked = -1;
    for (const char* p = markedText ? markedText : ""; *p; ++p) {
        if (*p != '&') {
            plain += *p;
        } else if (p[1] == '&') {
            plain += '&';
            ++p;
        } else if (marked < 0 && p[1]) {
            marked = int(plain.size());
        }
    }
    setText(plain.c_str());
    mnemonic = 0;
    mnemonicOffset = -1;
    if (marked >= 0 && !getLines().empty() && marked < int(getLines()[0].size())) {
        int length = 0;
        int codePoint = plat::decodeUtf8(getText() + marked, plain.size() - marked, length);
        if (codePoint > 0) {
            mnemonic = codePoint;
            mnemonicOffset = marked;
        }
    }
    invalidate();
}

void WLabelWithMnemonic::setMnemonicShown(bool shown) {
    mnemonicShown = shown;
    invalidate();
}

bool WLabelWithMnemonic::matchesMnemonic(int key) const {
    auto fold = [](int c) { return c < 128 ? std::tolower(c) : c; };
    return mnemonic != 0 && fold(key) == fold(mnemonic);
}

void WLabelWithMnemonic::paint(rfb::FullFramePixelBuffer* pb) {
    WLabel::paint(pb);
    if (!mnemonicShown || mnemonicOffset < 0 || getLines().empty())
        return;
    const std::string& line = getLines()[0];
    const tqutil::Font& font = *getStyle().font;
    int length = 0;
    plat::decodeUtf8(line.c_str() + mnemonicOffset, line.size() - mnemonicOffset, length);
    rfb::Point origin = lineOrigin(0);
    const char* begin = line.c_str();
    int from = origin.x + font.textWidth(begin, begin + mnemonicOffset);
    int to = origin.x + font.textWidth(begin, begin + mnemonicOffset + length);
    int row = origin.y + lineHeight() - 2;
    const Style& style = getStyle();
    pb->fillRect({from, row, to, row + 1},
                 pixelOf(*pb, isEnabled() ? style.text : style.disabledText));
}

} // namespace wvw
