// Product initialisation: the first call of every program of the product family.
#pragma once

namespace product {

// Fixes the application's identity, home and profile directories and logging defaults, and
// optionally reads the configuration files. Failures reach the caller as plat::Exception.
//   argv0           the program's argv[0]
//   appName         application name; null derives it from the executable's file name
//   displayNameKey  translation key of the display name, or null
//   logSpec         routing for the Log parameter; null gives "*:stderr:10"
void init(const char* argv0, const char* appName, const char* displayNameKey, const char* logSpec,
          bool fileLogging, bool loadConfigFiles);

} // namespace product
