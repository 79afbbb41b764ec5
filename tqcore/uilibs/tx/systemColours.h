// The system colour provider of the toolkit: the desktop is dark when the parameter DarkMode is
// set (in a configuration file, for example "DarkMode=1" in config.d/common).
#pragma once

#include <plat/BoolParameter.h>

namespace tx {

plat::BoolParameter& darkMode();

// Installs the provider once per process; later calls do nothing.
void installSystemColours();

} // namespace tx
