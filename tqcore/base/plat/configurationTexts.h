// The built-in texts of the parameter registry and the command line, in the five languages.
#pragma once

#include <loc/BuiltinTable.h>

#include <span>

namespace plat {

std::span<const loc::BuiltinText> configurationTexts();

} // namespace plat
