// Locating executables: on PATH or by name, and the real path and directory of this program.
#pragma once

#include <plat/DString.h>

namespace os {

// The real path of an executable regular file, or null. A name without "/" is looked up on PATH
// when searchPath is set; the first PATH entry that exists decides.
plat::DString findExecutable(const char* name, bool searchPath);

// Without a name: the real path of this program. A relative name is tried next to this program
// first. With mustExist, a missing program raises ENOENT instead of returning null.
plat::DString getProgramPath(const char* name, bool mustExist = true, bool searchPath = false);

// The directory holding this program.
plat::DString getProgramDir();

} // namespace os
