// The built-in texts of the parameter registry and the command line, in the five languages. Code
// that translates them keeps the table linked (plat/keepLinked.h).
#pragma once

#include <plat/BuiltinTextTable.h>

namespace plat {

extern const BuiltinTextTable configurationTexts;

} // namespace plat
