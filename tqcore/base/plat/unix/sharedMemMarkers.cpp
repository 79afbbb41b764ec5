// Marker files of shared memory segments below the profile directory.
#include <plat/sharedMemMarkers.h>

#include <plat/Exception.h>
#include <plat/UniqueFd.h>
#include <plat/file.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>

namespace plat {

namespace {

DString markerPath(const char* kind, const char* name) {
    DString path;
    path.format("%s/%s", sharedMemMarkerDirectory(kind).c_str(), name);
    return path;
}

} // namespace

DString sharedMemMarkerDirectory(const char* kind) {
    const char* profile = std::getenv("KBX_PROFILE_DIR");
    const char* home = std::getenv("HOME");
    DString dir;
    if (profile && *profile)
        dir.format("%s/shm/%s", profile, kind);
    else if (home && *home)
        dir.format("%s/.kbx/shm/%s", home, kind);
    else
        throw Exception("No profile directory for shared memory markers");
    return dir;
}

void writeSharedMemMarker(const char* kind, const char* name) {
    mkDirs(sharedMemMarkerDirectory(kind).c_str(), true);
    UniqueFd marker(fileOpenFd(markerPath(kind, name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600));
}

void removeSharedMemMarker(const char* kind, const char* name) {
    fileRemove(markerPath(kind, name).c_str(), std::nothrow);
}

std::vector<std::string> sharedMemMarkers(const char* kind) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(sharedMemMarkerDirectory(kind).c_str());
    if (!dir)
        return names;
    while (dirent* entry = ::readdir(dir))
        if (entry->d_name[0] != '.')
            names.emplace_back(entry->d_name);
    ::closedir(dir);
    return names;
}

bool processRunning(pid_t pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

} // namespace plat
