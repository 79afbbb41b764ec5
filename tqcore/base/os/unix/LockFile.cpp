// Lock files over lockf, with removal of the file found by its inode on release.
#include <os/unix/LockFile.h>

#include <os/unix/DirEnum.h>
#include <plat/Exception.h>
#include <plat/Log.h>
#include <plat/file.h>
#include <plat/writeAll.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

namespace {

plat::LogSrc lockFileLog("LockFile");

// The lock is already ours; a file without our details is still a valid lock, so failing to
// write them is only reported.
void writeContents(int fd, const char* contents) {
    int error = ::ftruncate(fd, 0) == 0 ? 0 : errno;
    if (error == 0 && contents)
        error = plat::writeAll(fd, contents, std::strlen(contents));
    if (error != 0)
        lockFileLog.error("Failed to write lockfile contents: %s", std::strerror(error));
}

bool isSameFile(const struct stat& first, const struct stat& second) {
    return first.st_ino == second.st_ino && first.st_dev == second.st_dev;
}

// Another process may have moved the lock file within the directory, or put a new file in its
// place; only the entry that is still our open file goes.
void removeEntryOfOpenFile(int fd, const char* path) {
    struct stat opened;
    if (::fstat(fd, &opened) != 0)
        return;
    DirEnum directory(plat::fileDirName(path).get());
    while (directory.next()) {
        struct stat entry;
        if (::lstat(directory.path(), &entry) == 0 && isSameFile(entry, opened)) {
            ::unlink(directory.path());
            return;
        }
    }
}

} // namespace

LockFile::LockFile(const char* path, const char* contents, bool testOnly, bool makePrivate) {
    mode_t mode = makePrivate ? 0600 : 0644;
    int flags = testOnly ? O_RDONLY : O_RDWR | O_CREAT;
    plat::UniqueFd opened(plat::fileOpenFd(path, flags, mode, std::nothrow));
    if (!opened.valid()) {
        if (testOnly && errno == ENOENT)
            return;
        throw plat::SystemExceptionFmt("open(%s)", errno, path);
    }
    // open applies the umask and leaves an existing file's mode alone.
    if (!testOnly && ::fchmod(opened.get(), mode) != 0)
        throw plat::SystemException("fchmod", errno);

    bool lockAvailable = ::lockf(opened.get(), testOnly ? F_TEST : F_TLOCK, 0) == 0;
    if (!lockAvailable && errno != EAGAIN && errno != EACCES)
        throw plat::SystemException("lockf", errno);

    if (testOnly) {
        if (!lockAvailable)
            descriptor = std::move(opened);
        return;
    }
    if (!lockAvailable)
        return;
    // The fchmod above has already given a shared lock file its read bits for group and others.
    writeContents(opened.get(), contents);
    descriptor = std::move(opened);
    lockPath.assign(path);
}

LockFile::~LockFile() {
    release();
}

void LockFile::release() {
    if (descriptor.valid() && !lockPath.isNull()) {
        try {
            removeEntryOfOpenFile(descriptor.get(), lockPath.get());
        } catch (const plat::Exception& e) {
            lockFileLog.debug("Failed to remove lockfile %s: %s", lockPath.get(), e.message());
        }
    }
    close();
}

void LockFile::close() {
    descriptor.reset();
    lockPath.reset();
}

} // namespace os
