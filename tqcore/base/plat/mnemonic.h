// Mnemonic markers in menu and button labels: "&&" is a literal '&', a single '&' marks the next
// character as the one to press.
#pragma once

namespace plat {

// Removes the markers in place and returns the code point of the first marked character, or 0
// when the label marks none (or marks an invalid UTF-8 sequence).
int stripMnemonic(char* label);

} // namespace plat
