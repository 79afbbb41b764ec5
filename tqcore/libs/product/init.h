// Product initialisation: the first call of every program of the product family.
#pragma once

namespace product {

// Fixes the application's identity, HOME, the user, profile and configuration directories
// (created private), the translation directories, the version texts and the logging defaults,
// optionally reads the configuration files and switches file logging on, then initialises
// logging. Failures reach the caller as plat::Exception, with logging given a route first so that
// the caller's report of them is seen.
//   argv0           the program's argv[0]
//   appName         application name; null derives it from the executable's file name
//   displayNameKey  translation key of the display name, or null
//   logSpec         routing for the Log parameter; null gives "*:stderr:10"
//   fileLogging     switch the "file" log destination on
//   loadConfigFiles read the configuration files of the product's directories
void init(const char* argv0, const char* appName, const char* displayNameKey, const char* logSpec,
          bool fileLogging, bool loadConfigFiles);

} // namespace product
