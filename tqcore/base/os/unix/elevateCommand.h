// Rewriting a command so that it runs with root privilege through the desktop's elevation
// programs.
#pragma once

#include <plat/DString.h>

#include <vector>

namespace os {

// Rewrites args in place; title (may be null) names the action for the password prompt. Raises
// plat::Exception when no way to elevate exists.
void elevateCommand(std::vector<plat::DString>& args, const char* title);

} // namespace os
