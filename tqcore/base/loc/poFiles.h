// Finding and reading the ".po" files of one locale name: the built-in resource
// "strings.<name>.po", then the file of that name in each search directory.
#pragma once

#include <loc/TranslationTables.h>

#include <string>
#include <vector>

namespace loc {

// Adds what the files hold to the name's table. A file that does not exist is passed over; a
// successful read is logged at level 30, and a file that cannot be read is logged at level 0.
// Names with anything but letters and "_" are never looked up as files.
void loadPoFiles(const std::string& name, const std::vector<std::string>& searchDirs,
                 TranslationTables& tables);

} // namespace loc
