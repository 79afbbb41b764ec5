// The display scale parameters: physical display units per millimetre, which sizes icons and
// chooses fonts, and the system's text size factor.
#pragma once

#include <plat/IntParameter.h>

namespace tqutil {

// ppmm: 1 to 32, default 4 (icons without "@2x" are drawn for 4, "@2x" ones for 8).
plat::IntParameter& ppmm();
// TextSizeFactor: 1 to 1000, default 100; registered for the configuration, read by nothing here.
plat::IntParameter& textSizeFactor();

} // namespace tqutil
