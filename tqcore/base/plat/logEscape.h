// The escaping that keeps log lines on one line and printable: control characters and bytes of
// invalid UTF-8 are written in caret-and-meta notation after an escape character.
#pragma once

#include <plat/DString.h>

namespace plat {

constexpr char LogEscapeCharacter = '~';

// Whether the text holds a byte below 0x20 or of 0x7E or above, the only texts that can change
// when escaped.
bool needsLogEscape(const char* text);

// The escape character is doubled; a valid character of U+0020 or above other than U+007F stays
// as it is; a control character or DEL becomes escape, '^' and the character XOR 0x40; each byte
// of an invalid sequence becomes escape and its caret-and-meta form ("M" for the high bit, then
// '^' and XOR 0x40 for a control value, or '-' and the byte). A null text gives a null string.
DString logEscape(const char* text, char escape = LogEscapeCharacter);

} // namespace plat
