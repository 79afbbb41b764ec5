// The Locale parameter: the user's choice of locales, overriding LANGUAGE and the system locale.
#pragma once

#include <plat/StringParameter.h>

namespace loc {

// Registered at start-up; created on first use so that translations may be looked up from other
// static constructors.
plat::StringParameter& localeParameter();

} // namespace loc
