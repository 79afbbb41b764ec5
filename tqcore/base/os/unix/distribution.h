// The name and version of the Linux distribution, from the release files of "/etc".
#pragma once

#include <plat/DString.h>

namespace os {

// "<name> <version>" from os-release (NAME, VERSION_ID), else from lsb-release (DISTRIB_ID,
// DISTRIB_RELEASE), else from the first line of a distribution's own release or version file;
// null when none of them tells. Never raises.
plat::DString getDistribution();
// The same, reading configDir in place of "/etc".
plat::DString getDistribution(const char* configDir);

// Whether ID or ID_LIKE of os-release names debian, in any case; false when the file cannot be
// read.
bool isDebianBased();
bool isDebianBased(const char* configDir);

} // namespace os
