// Test support: reading compiled gettext catalogues, the reference for what a ".po" file means.
#pragma once

#include <map>
#include <string>

namespace loctest {

// Every entry of a ".mo" file, original to translation, as stored (plural forms joined by NUL
// bytes, a context joined to its msgid by 0x04). Throws std::runtime_error for a broken file.
std::map<std::string, std::string> readMoFile(const std::string& path);

// Whether the gettext tools are installed.
bool haveGettextTools();

// Runs a shell command; its exit status.
int runCommand(const std::string& command);

} // namespace loctest
