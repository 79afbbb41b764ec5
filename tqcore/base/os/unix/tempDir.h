// Temporary directories: the system's and the private one of this user and application.
#pragma once

#include <plat/DString.h>

namespace os {

// "/tmp".
const char* getTempDir();

// "/tmp/.<path component>-<suffix>" (the path component of os::AppInfo). Without a suffix the
// effective user id takes its place and the directory is made sure to exist as this user's
// private directory: created with mode 0700, or, when it exists, verified to be a real directory
// (not a symbolic link) owned by the effective user and stripped of group and other permissions.
// Raises plat::SystemException "mkDir(%s)" or "getUserTempDir(%s)" (ELOOP or ENOTDIR when the
// path is no directory of its own, EPERM when another user owns it).
plat::DString getUserTempDir(const char* suffix = nullptr);

} // namespace os
