// Descriptor helpers for process launching: close-on-exec duplicates, pipes and socket pairs,
// descriptor flags, closing every descriptor from a number upward, the standard descriptors.
#pragma once

#include <plat/UniqueFd.h>

#include <cstddef>
#include <set>

namespace os {

struct PipeEnds {
    plat::UniqueFd readEnd;
    plat::UniqueFd writeEnd;
};

struct SocketPairEnds {
    plat::UniqueFd first;
    plat::UniqueFd second;
};

// A new descriptor for the same file with close-on-exec set; raises on failure.
int dupCloseOnExec(int fd);
// Makes target a close-on-exec copy of fd. False with errno set on failure (equal numbers: EINVAL).
// Async-signal-safe.
bool dup2CloseOnExec(int fd, int target);
// Clears (inheritable) or sets close-on-exec; on failure optionally closes fd, keeping errno.
bool setInheritable(int fd, bool inheritable, bool closeOnFailure);
// Switches O_NONBLOCK, keeping the descriptor's other status flags; raises "setBlocking".
void setBlocking(int fd, bool blocking);

// Both ends close-on-exec; raises "pipe2", "pipe" or "setInheritable".
PipeEnds makePipe();
// A Unix stream socket pair, both ends close-on-exec; raises "socketpair" or "setInheritable".
SocketPairEnds makeSocketPair();

// Closes fd and every higher descriptor. Async-signal-safe.
void closeFrom(int fd);
// The same, sparing the members of keep (sorted ascending). Async-signal-safe.
void closeFromExcept(int fd, const int* keep, std::size_t keepCount);
void closeFromExcept(int fd, const std::set<int>& keep);

// Opens "/dev/null" on whichever of 0, 1 and 2 is not open, inheritable.
void ensureStdDescriptors();

} // namespace os
