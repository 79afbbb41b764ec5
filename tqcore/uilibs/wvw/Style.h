// The look shared by the widgets of a tree: the text font and the colours, light or dark after
// the system colour provider. Read-only once built.
#pragma once

#include <plat/colorTable.h>
#include <tqutil/Font.h>

#include <memory>

namespace wvw {

struct Style {
    // Reads the colour table and the provider's dark mode now; the font is the one chosen for
    // normal text (size 120).
    Style();

    // Built on first use and kept for the process.
    static const Style& defaultStyle();

    std::shared_ptr<const tqutil::Font> font;
    plat::Rgb text;         // "contentText"
    plat::Rgb disabledText; // "disabledText"
    plat::Rgb contentBg;    // "contentBg"
    // Frame greys: 0 and 1 backgrounds (1 is the label and dialog background), 2 pressed button
    // face, 3 dark border, 4 button face and light border, 5 separators and dark outline.
    plat::Rgb frame[6];
    plat::Rgb white{255, 255, 255};
    plat::Rgb blue{56, 56, 200};
    // The focus frame: the colour table's "selectedBd", which follows the dark mode as well.
    plat::Rgb focus;
    int padding = 2;

    const plat::Rgb& labelBg() const { return frame[1]; }
    const plat::Rgb& selectionText() const { return white; }
    const plat::Rgb& selectionBg() const { return blue; }
    const plat::Rgb& buttonFace(bool pressed) const { return pressed ? frame[3] : frame[4]; }
    const plat::Rgb& borderLight() const { return frame[4]; }
    const plat::Rgb& borderDark() const { return frame[5]; }
};

} // namespace wvw
