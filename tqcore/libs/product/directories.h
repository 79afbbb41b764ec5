// The product's process-wide directories: the system directory, the user directory below HOME,
// the profile and configuration-profile directories chosen by KBX_PROFILE and KBX_CONFIG_PROFILE,
// and the configuration directory with the application's own configuration file.
#pragma once

#include <plat/DString.h>

namespace product {

// Each is empty until product initialisation has fixed it.
const char* getSystemDir();
const char* getUserDir();
const char* getProfileDir();
const char* getConfigProfileDir();
const char* getConfigDir();
const char* getAppConfigFile();

// "/etc/kbx".
void setSystemDir();

// Fixes the user directory ("$HOME/.kbx"), the profile, configuration-profile and configuration
// directories and the application configuration file, sets KBX_PROFILE_DIR to the profile
// directory, and creates the user, profile and configuration directories with mode 0700, making
// existing ones private to the effective user. Raises what the expansion of HOME or the creation
// of a directory raises.
void setUpProfileDirs(const char* appName);

// directory + "/" + name, without a second "/" when directory ends in one.
plat::DString joinPath(const char* directory, const char* name);

// A profile name as one directory name: bytes below 0x20, 0x7f and "/" become "-".
plat::DString profileDirName(const char* profile);

} // namespace product
