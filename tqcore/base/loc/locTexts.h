// The built-in texts of the translation library, in the five languages. Code that translates
// them keeps the table linked (plat/keepLinked.h).
#pragma once

#include <plat/BuiltinTextTable.h>

namespace loc {

extern const plat::BuiltinTextTable locTexts;

} // namespace loc
