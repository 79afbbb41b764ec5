// The characters that keysyms stand for, as the X protocol's keysym definitions give them.
#pragma once

#include <cstdint>

namespace wvw {

// The code point of a keysym: Latin-1 keysyms (below 256) are their own code points, Unicode
// keysyms (0x01000000 + code point) give their code point, and the legacy keysyms of the other
// character sets (0x100 to 0x20FF) give the character their definition names. -1 for a keysym
// that stands for no character: function keys, unassigned numbers, and Unicode keysyms of
// surrogates or of numbers beyond U+10FFFF.
int keysymToUnicode(std::uint32_t keysym);

} // namespace wvw
