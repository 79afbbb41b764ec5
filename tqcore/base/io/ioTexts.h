// The built-in texts of descriptor I/O, IPC and sockets, in the five languages. Code that
// translates them keeps the table linked (plat/keepLinked.h).
#pragma once

#include <plat/BuiltinTextTable.h>

namespace io {

extern const plat::BuiltinTextTable ioTexts;

} // namespace io
