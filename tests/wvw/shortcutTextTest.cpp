// Shortcut texts: modifiers in their order, key names, characters through the keysym table, and
// keysyms that show no character.
#include <wvw/shortcutText.h>

#include <gtest/gtest.h>

namespace {

using namespace wvw::shortcut;

struct Case {
    std::uint32_t shortcut;
    const char* text;
};

TEST(ShortcutText, ShowsModifiersThenTheKeysNameOrCharacter) {
    const Case cases[] = {
        {0, ""},
        {Alt | Shift | Ctrl, "Ctrl+Shift+Alt+"},
        {Ctrl | 'c', "Ctrl+C"},
        {Shift | 0xFF08, "Shift+BkSp"},
        {0xFF0D, "Enter"},
        {0xFF1B, "Esc"},
        {0xFF56, "PgDn"},
        {0xFF63, "Ins"},
        {0xFFFF, "Del"},
        {Alt | 0xFFBE, "Alt+F1"},
        {0xFFC9, "F12"},
        {'5', "5"},
        {0xE4, "\xC3\xA4"},               // a with diaeresis, Latin-1: stays small
        {0x01A1, "\xC4\x84"},             // Aogonek, Latin 2
        {0x06C1, "\xD0\xB0"},             // Cyrillic small a
        {0x20AC, "\xE2\x82\xAC"},         // EuroSign
        {0x0100263A, "\xE2\x98\xBA"},     // a Unicode keysym
        {0x0101F600, "\xF0\x9F\x98\x80"}, // beyond the basic plane
    };
    for (const Case& c : cases)
        EXPECT_EQ(wvw::shortcutText(c.shortcut), c.text) << std::hex << c.shortcut;
}

// A surrogate or a number beyond U+10FFFF is no character; encoding one used to give bytes that
// are not UTF-8 (or an exception).
TEST(ShortcutText, KeysWithoutAPrintableCharacterAreUnknown) {
    for (std::uint32_t keysym : {0x7Fu, 0x9Fu, 0xFFC0u + 12, 0xFFE1u, 0x0100D800u, 0x0100DFFFu,
                                 0x01110000u, 0x01FFFFFFu, 0x0100FFFEu, 0x01000007u, 0x0AFFu})
        EXPECT_EQ(wvw::shortcutText(Ctrl | keysym), "Ctrl+[Unknown key]") << std::hex << keysym;
}

} // namespace
