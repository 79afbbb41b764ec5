// Paths and creation of temporary directories.
#include <os/unix/tempDir.h>

#include <os/AppInfo.h>
#include <plat/Exception.h>
#include <plat/UniqueFd.h>
#include <plat/file.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

namespace {

// The path is predictable and /tmp is shared: another user may have put a directory, or a link
// to somebody else's directory, there first. Everything is decided on the opened directory so
// that the name cannot be swapped between the check and the change.
void makeOwnPrivateDirectory(const char* path) {
    if (plat::mkDir(path, true))
        return;
    plat::UniqueFd directory(
        plat::fileOpenFd(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW, 0, std::nothrow));
    if (!directory.valid())
        throw plat::SystemExceptionFmt("getUserTempDir(%s)", errno, path);
    struct stat info;
    if (::fstat(directory.get(), &info) != 0)
        throw plat::SystemExceptionFmt("getUserTempDir(%s)", errno, path);
    if (info.st_uid != ::geteuid())
        throw plat::SystemExceptionFmt("getUserTempDir(%s)", EPERM, path);
    if ((info.st_mode & 077) != 0 && ::fchmod(directory.get(), info.st_mode & 07700) != 0)
        throw plat::SystemExceptionFmt("getUserTempDir(%s)", errno, path);
}

} // namespace

const char* getTempDir() {
    return "/tmp";
}

plat::DString getUserTempDir(const char* suffix) {
    plat::DString path;
    if (suffix) {
        path.format("%s/.%s-%s", getTempDir(), AppInfo::getPathComp(), suffix);
        return path;
    }
    path.format("%s/.%s-%u", getTempDir(), AppInfo::getPathComp(), unsigned(::geteuid()));
    makeOwnPrivateDirectory(path.get());
    return path;
}

} // namespace os
