// Descriptions of the host for version texts and reports: kernel, architecture and host name.
#pragma once

#include <plat/DString.h>

#include <cstddef>

namespace os {

// "Linux " and the kernel release up to its first "-"; when uname fails, the text of the system
// exception "uname" instead.
plat::DString getKernel();

// At least this many bytes for getArchitecture.
constexpr std::size_t ArchitectureCapacity = 32;

// The machine in the naming of package architectures ("amd64" on x86-64) written into buffer
// (at least ArchitectureCapacity bytes); when uname fails, the text of the system exception
// "uname". Returns buffer.
const char* getArchitecture(char* buffer);

// The host name up to its first "."; empty when it cannot be had.
plat::DString getHostName();

} // namespace os
