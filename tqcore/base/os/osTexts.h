// The built-in texts of the operating-system services, in the five languages. Code that translates
// them keeps the table linked (plat/keepLinked.h).
#pragma once

#include <plat/BuiltinTextTable.h>

namespace os {

extern const plat::BuiltinTextTable osTexts;

} // namespace os
