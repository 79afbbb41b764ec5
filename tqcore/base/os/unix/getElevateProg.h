// Running a command with root privilege through the desktop's elevation programs, and opening a
// web address with the desktop's opener or a browser.
#pragma once

#include <os/unix/LaunchProcess.h>

namespace os {

// Rewrites cfg.args so that the command runs as root: behind ElevateCmd when it is set,
// otherwise behind pkexec when a session bus is known, otherwise behind su or sudo in a terminal
// window titled after title (may be null). Raises plat::Exception "Elevation not supported: ..."
// when no way exists.
void elevate(LaunchProcess::Config& cfg, const char* title);

// Starts the first opener or browser found on PATH with the address, fully detached; false as
// root, when none could be started, or for an address that does not begin with a scheme or holds
// control characters (it would otherwise reach the program as an option or break its command).
bool openUrl(const char* url);

} // namespace os
