// Waiting with select until a descriptor is ready, for the descriptor streams.
#pragma once

namespace rdr {

// Waits until fd is readable (or writable) for at most timeoutMs milliseconds (negative: for
// ever), resuming after interruptions with the time that remains. Returns false when the time
// ran out. A descriptor of FD_SETSIZE (1024) or more cannot be waited on: raises
// plat::SystemException "select" with EMFILE; other failures of select raise with their errno.
bool waitForDescriptor(int fd, bool forWriting, int timeoutMs);

} // namespace rdr
