// Process-wide facts the socket layer learns and the process launcher shares: whether the kernel
// accepts SOCK_CLOEXEC, and the open-files limit found before it was lowered for select.
#pragma once

#include <sys/resource.h>

namespace io {

bool socketCloexecUnsupported();
void setSocketCloexecUnsupported();

// The socket layer lowers the soft limit so that every descriptor fits a select set; started
// children get the original back.
void keepOpenFilesLimit(const rlimit& original);
// False when the limit was never lowered.
bool keptOpenFilesLimit(rlimit& original);

} // namespace io
