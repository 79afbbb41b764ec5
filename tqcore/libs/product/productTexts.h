// The built-in texts of product initialisation, in the five languages. Code that translates
// them keeps the table linked (plat/keepLinked.h).
#pragma once

#include <plat/BuiltinTextTable.h>

namespace product {

extern const plat::BuiltinTextTable productTexts;

} // namespace product
