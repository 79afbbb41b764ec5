// The named colour table, rebuilt when the system colour provider's dark mode changes.
#include <plat/colorTable.h>

#include <plat/SysColors.h>
#include <plat/hex.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace plat {

namespace {

struct ModalColor {
    const char* name;
    const char* light;
    const char* dark;
};

const ModalColor modalColors[] = {
    {"contentBg", "#FFFFFF", "#000000"},    {"contentText", "#000000", "#FFFFFF"},
    {"buttonBg", "#ECECEC", "#404040"},     {"buttonText", "#404040", "#ECECEC"},
    {"selectedBg", "#D1E8FF", "#41648A"},   {"selectedBd", "#66A7E8", "#0E5CCD"},
    {"selectedText", "#FFFFFF", "#FFFFFF"}, {"inactiveBg", "#F0F0F0", "#323232"},
    {"inactiveBd", "#DEDEDE", "#555555"},   {"helpBg", "#FFFFD3", "#443322"},
    {"helpText", "#000000", "#FFFFFF"},
};

struct FixedColor {
    const char* name;
    const char* value;
};

const FixedColor fixedColors[] = {
    {"disabledText", "#808080"},
    {"statusGreen", "#048C00"},
    {"statusYellow", "#E6A000"},
    {"statusRed", "#C90000"},
    {"statusText", "#FFFFFF"},
    {"customBigBtnBg", "#1976D2"},
    {"customBigBtnText", "#FFFFFF"},
    {"white", "#FFFFFF"},
    {"silver", "#C0C0C0"},
    {"gray", "#808080"},
    {"black", "#000000"},
    {"red", "#FF0000"},
    {"maroon", "#800000"},
    {"yellow", "#FFFF00"},
    {"olive", "#808000"},
    {"lime", "#00FF00"},
    {"green", "#008000"},
    {"aqua", "#00FFFF"},
    {"teal", "#008080"},
    {"blue", "#0000FF"},
    {"navy", "#000080"},
    {"fuchsia", "#FF00FF"},
    {"purple", "#800080"},
    {"orange", "#FFA500"},
};

bool parseHexColor(const char* text, Rgb& color) {
    if (std::strlen(text) != 7)
        return false;
    int channels[3];
    for (int i = 0; i < 3; ++i) {
        int high = plat::hexDigitValue(text[1 + 2 * i]);
        int low = plat::hexDigitValue(text[2 + 2 * i]);
        if (high < 0 || low < 0)
            return false;
        channels[i] = high * 16 + low;
    }
    color = Rgb{std::uint8_t(channels[0]), std::uint8_t(channels[1]), std::uint8_t(channels[2])};
    return true;
}

class ColorTable {
public:
    static ColorTable& instance() {
        static ColorTable* table = new ColorTable;
        return *table;
    }

    bool find(const char* name, bool dark, Rgb& color) {
        std::lock_guard lock(mutex);
        if (!built || builtDark != dark)
            build(dark);
        auto found = colors.find(name);
        if (found == colors.end())
            return false;
        color = found->second;
        return true;
    }

private:
    void build(bool dark) {
        colors.clear();
        for (const ModalColor& entry : modalColors)
            add(entry.name, dark ? entry.dark : entry.light);
        for (const FixedColor& entry : fixedColors)
            add(entry.name, entry.value);
        built = true;
        builtDark = dark;
    }

    // An existing name keeps its first value.
    void add(const char* name, const char* value) {
        Rgb color;
        if (parseHexColor(value, color))
            colors.emplace(name, color);
    }

    std::mutex mutex;
    std::map<std::string, Rgb, std::less<>> colors;
    bool built = false;
    bool builtDark = false;
};

} // namespace

bool getColor(const char* name, Rgb& color) {
    if (name == nullptr)
        return false;
    if (name[0] == '#')
        return parseHexColor(name, color);
    // Asked before taking the table's lock, so that a provider may itself look up colours.
    bool dark = SysColors::darkBackground();
    return ColorTable::instance().find(name, dark, color);
}

} // namespace plat
