// Facts about executable files: the program interpreter named in an ELF file, and whether a file
// runs with root's rights.
#pragma once

#include <plat/DString.h>

namespace os {

// The interpreter (dynamic loader) an ELF executable asks for, or null when it names none, as a
// static executable does. Raises plat::Exception "Not an ELF file", "Unknown ELF class" or "Bad
// ELF interpreter size", and the file errors of the file services ("fileOpen(%s)", "End of
// file", "reading from file failed", "fileSeek").
plat::DString getElfInterpreter(const char* path);

// The file itself (not a link's target) belongs to root, has the set-user-id bit and may be
// executed by its owner.
bool isSetuidRootExecutable(const char* path);

} // namespace os
