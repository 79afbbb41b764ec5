// Colour on terminals: whether a descriptor leads to a terminal that understands colour codes,
// and the codes themselves ("31;1" bright red, "0" reset, ...).
#pragma once

#include <plat/DString.h>

#include <cstdio>

namespace plat {

// True when fd is a terminal and TERM contains "xterm", "ansi" or "color".
bool terminalSupportsColour(int fd);

// "\033[<code>m"; a null code is the reset code "0".
void appendColourCode(DString& text, const char* code);
// Returns false when the stream refused the code.
bool writeColourCode(FILE* stream, const char* code);

} // namespace plat
