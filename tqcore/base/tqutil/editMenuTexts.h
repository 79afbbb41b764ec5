// The built-in texts of the edit menu, in the five languages. Code that translates
// them keeps the table linked (plat/keepLinked.h).
#pragma once

#include <plat/BuiltinTextTable.h>

namespace tqutil {

extern const plat::BuiltinTextTable editMenuTexts;

} // namespace tqutil
