// The default style's colours and font.
#include <wvw/Style.h>

#include <plat/Markup.h>
#include <plat/SysColors.h>
#include <tqutil/fonts.h>

namespace wvw {

namespace {

constexpr std::uint8_t LightGreys[6] = {216, 216, 216, 184, 238, 165};
constexpr std::uint8_t DarkGreys[6] = {48, 48, 85, 102, 68, 119};

plat::Rgb namedColour(const char* name) {
    plat::Rgb colour;
    plat::getColor(name, colour);
    return colour;
}

} // namespace

Style::Style()
    : font(tqutil::selectFont(plat::Markup::Style())), text(namedColour("contentText")),
      disabledText(namedColour("disabledText")), contentBg(namedColour("contentBg")),
      focus(namedColour("selectedBd")) {
    const std::uint8_t* greys = plat::SysColors::darkBackground() ? DarkGreys : LightGreys;
    for (int i = 0; i < 6; ++i)
        frame[i] = plat::Rgb{greys[i], greys[i], greys[i]};
}

const Style& Style::defaultStyle() {
    // Never destroyed: widgets of static objects may paint while the process exits.
    static const Style* style = new Style;
    return *style;
}

} // namespace wvw
