// A listing of the calling stack for diagnostics.
#pragma once

#include <plat/DString.h>

#include <vector>

namespace os {

// Appends one line "%2d %s" (frame number from 1, symbolised frame) per frame of the caller's
// stack, at most 61 lines, leaving out this function's own frame; nothing when fewer than two
// frames are known.
void getBacktrace(std::vector<plat::DString>& lines);

} // namespace os
