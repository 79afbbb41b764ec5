// Colour on terminals: whether a descriptor leads to a terminal that understands colour codes.
#pragma once

namespace plat {

// True when fd is a terminal and TERM contains "xterm", "ansi" or "color".
bool terminalSupportsColour(int fd);

} // namespace plat
