// The marker files of shared memory segments: one empty file per segment created here, named
// after the segment, in a directory of the profile directory.
#pragma once

#include <plat/DString.h>

#include <string>
#include <sys/types.h>
#include <vector>

namespace plat {

// "<profile directory>/shm/<kind>". The profile directory is KBX_PROFILE_DIR, which product
// initialisation sets, else "$HOME/.kbx"; raises plat::Exception when neither is known.
DString sharedMemMarkerDirectory(const char* kind);
// Creates the directory as needed (private) and the marker; raises on failure.
void writeSharedMemMarker(const char* kind, const char* name);
void removeSharedMemMarker(const char* kind, const char* name);
// The names of the markers; empty when the directory cannot be read.
std::vector<std::string> sharedMemMarkers(const char* kind);
// Whether a process with this id exists (a process of another user counts).
bool processRunning(pid_t pid);

} // namespace plat
