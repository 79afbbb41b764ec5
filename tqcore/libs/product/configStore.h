// The product's configuration-file store: the "config.d" and "policy.d" directories beside the
// program, in the system directory and in the user's configuration directory.
#pragma once

#include <tqutil/ConfigStoreFile.h>

namespace product {

// Null until product initialisation has loaded the configuration files.
tqutil::ConfigStoreFile* getConfigStore();

// Once per process: creates the store over the global configuration with its five directories.
// The directories (see product initialisation) must be fixed before.
tqutil::ConfigStoreFile& createConfigStore(const char* appName, const char* programDir);

// Reads the files of priority 5, then 10 (preference), then 40 (policy).
void readConfigFiles(tqutil::ConfigStoreFile& store);

} // namespace product
