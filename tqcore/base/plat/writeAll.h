// Writing a whole buffer to a descriptor, for callers that cannot use streams: a forked child,
// a signal-time report, the launcher's payload extraction.
#pragma once

#include <cstddef>
#include <sys/uio.h>

namespace plat {

// Writes every byte, going on after partial writes and interruptions. Returns 0, or the errno of
// the failing write (ENOSPC when a write takes nothing). Async-signal-safe.
int writeAll(int fd, const void* bytes, std::size_t count);
// The same for the buffers of parts in order, with writev; parts is used up on the way.
int writeAll(int fd, iovec* parts, int count);

} // namespace plat
