// Shortcut texts: modifiers, key names and key characters.
#include <wvw/shortcutText.h>

#include <wvw/keysymToUnicode.h>

#include <plat/utf8.h>

namespace wvw {

namespace {

struct KeyName {
    std::uint32_t keysym;
    const char* name;
};

constexpr KeyName KeyNames[] = {
    {0xFF08, "BkSp"}, {0xFF09, "Tab"}, {0xFF0D, "Enter"}, {0xFF1B, "Esc"},  {0xFF50, "Home"},
    {0xFF51, "Left"}, {0xFF52, "Up"},  {0xFF53, "Right"}, {0xFF54, "Down"}, {0xFF55, "PgUp"},
    {0xFF56, "PgDn"}, {0xFF57, "End"}, {0xFF63, "Ins"},   {0xFFFF, "Del"},
};

constexpr std::uint32_t F1 = 0xFFBE;
constexpr std::uint32_t F12 = 0xFFC9;

const char* keyName(std::uint32_t keysym) {
    for (const KeyName& key : KeyNames)
        if (key.keysym == keysym)
            return key.name;
    return nullptr;
}

bool isPrintable(int codePoint) {
    return (codePoint >= 32 && codePoint <= 126) || codePoint >= 160;
}

// The character in UTF-8, or false when the keysym shows none. A code point that our UTF-8 text
// refuses (a non-character) would turn into U+FFFD on the way to the label, so it counts as none.
bool appendCharacter(std::uint32_t keysym, std::string& text) {
    int codePoint = keysymToUnicode(keysym);
    if (!isPrintable(codePoint))
        return false;
    if (codePoint >= 'a' && codePoint <= 'z')
        codePoint -= 'a' - 'A';
    char bytes[plat::MaxUtf8SequenceLength];
    int length = plat::encodeUtf8(codePoint, bytes);
    if (!plat::isValidUtf8(bytes, bytes + length))
        return false;
    text.append(bytes, std::size_t(length));
    return true;
}

} // namespace

std::string shortcutText(std::uint32_t value) {
    std::string text;
    if (value & shortcut::Ctrl)
        text += "Ctrl+";
    if (value & shortcut::Shift)
        text += "Shift+";
    if (value & shortcut::Alt)
        text += "Alt+";
    std::uint32_t keysym = value & shortcut::KeysymMask;
    if (keysym == 0)
        return text;
    if (const char* name = keyName(keysym))
        return text + name;
    if (keysym >= F1 && keysym <= F12)
        return text + "F" + std::to_string(keysym - F1 + 1);
    if (!appendCharacter(keysym, text))
        text += "[Unknown key]";
    return text;
}

} // namespace wvw
