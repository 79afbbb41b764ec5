// The built-in texts of the message box, in the five languages. Code that translates
// them keeps the table linked (plat/keepLinked.h).
#pragma once

#include <plat/BuiltinTextTable.h>

namespace tx {

extern const plat::BuiltinTextTable msgBoxTexts;

} // namespace tx
