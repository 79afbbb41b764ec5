// The keysyms the widgets react to, as the X protocol numbers them; widgets see keys only as
// these numbers, so the toolkit's lower layer needs no X headers.
#pragma once

namespace wvw::keysym {

constexpr int Space = 0x20;
constexpr int BackSpace = 0xFF08;
constexpr int Tab = 0xFF09;
constexpr int Return = 0xFF0D;
constexpr int Escape = 0xFF1B;
constexpr int Left = 0xFF51;
constexpr int Up = 0xFF52;
constexpr int Right = 0xFF53;
constexpr int Down = 0xFF54;
constexpr int IsoLeftTab = 0xFE20;
constexpr int ShiftL = 0xFFE1;
constexpr int ShiftR = 0xFFE2;
constexpr int ControlL = 0xFFE3;
constexpr int ControlR = 0xFFE4;
// Keysyms 0x01000000 + code point name Unicode characters.
constexpr int UnicodeBase = 0x01000000;

// The legacy keysym of a Unicode keysym where one exists (the Latin-1 characters, whose keysyms
// are their code points); any other keysym is returned unchanged.
constexpr int legacyKeysym(int keysym) {
    int codePoint = keysym - UnicodeBase;
    if ((codePoint >= 0x20 && codePoint <= 0x7E) || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return codePoint;
    return keysym;
}

} // namespace wvw::keysym
