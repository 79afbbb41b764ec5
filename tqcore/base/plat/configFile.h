// Configuration files: one "name=value" setting per line, with backslash escapes for carriage
// return, line feed and backslash, read into a configuration at one priority.
#pragma once

#include <plat/DString.h>

#include <string>
#include <string_view>

namespace plat {

class Configuration;

// One line of a configuration file, split at its first "=". A line without "=" has a name and no
// value (a null value, which turns a Boolean parameter on).
struct ConfigLine {
    DString name;
    DString value;
};

// Removes the white space around the line, decodes the escapes ("\r", "\n", "\\"; any other
// backslash pair stays as it is) and splits it. Blanks around "=" belong to the name and value.
ConfigLine parseConfigLine(std::string_view line);

// The value with carriage return, line feed and backslash written as "\r", "\n" and "\\", so that
// parseConfigLine reads it back. White space at either end of the value does not survive a read.
DString escapeConfigValue(const char* value);

// The whole file; false, with contents untouched, when the file or a directory on its path is
// missing. Other failures raise plat::SystemException.
bool readConfigFileText(const char* path, std::string& contents);

// Applies every line of the file with Configuration::set at priority: unknown names are
// ignored, refused values leave their parameter unchanged, and a line whose value a parameter
// rejects by raising (bad UTF-8) is logged and skipped. Logs "Looking for %s config in %s" and,
// when the file is open, "Reading %s config from %s" under "FileConfig" (name is the label in
// those lines). Returns false, having read nothing, when the file or a directory on its path is
// missing; any other failure throws plat::Exception "Error reading %s: %s" with the path and the
// cause.
bool readConfigFile(const char* name, const char* path, int priority, Configuration& config);
bool readConfigFile(const char* name, const char* path, int priority);

} // namespace plat
