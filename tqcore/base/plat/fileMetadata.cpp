// File-system metadata and open files: existence, sizes and times, opening, reading, seeking,
// locking and copying permissions.
#include <plat/file.h>

#include <plat/Exception.h>
#include <plat/UniqueFd.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace plat {

namespace {

bool isMissingError(int err) {
    return err == ENOENT || err == ENOTDIR;
}

// ---- Time ----

struct timeval timevalFromTicks(Ticks ticks) {
    Ticks wholeSeconds = ticks / TicksPerSecond;
    Ticks remainder = ticks % TicksPerSecond;
    if (remainder < 0) {
        wholeSeconds -= 1;
        remainder += TicksPerSecond;
    }
    struct timeval result;
    result.tv_sec = time_t(wholeSeconds - UnixEpochOffsetSeconds);
    result.tv_usec = suseconds_t(remainder / 10);
    return result;
}

} // namespace

// ---- Existence and metadata ----

bool fileExists(const char* path) {
    struct stat info;
    if (::stat(path, &info) == 0)
        return true;
    if (isMissingError(errno))
        return false;
    throw SystemExceptionFmt("fileExists(%s)", errno, path);
}

bool fileExists(const char* path, std::nothrow_t) {
    struct stat info;
    return ::stat(path, &info) == 0;
}

bool isDirectory(const char* path) {
    struct stat info;
    return ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

std::int64_t fileGetSize(const char* path) {
    struct stat info;
    if (::stat(path, &info) != 0)
        throw SystemExceptionFmt("fileGetSize(%s)", errno, path);
    return info.st_size;
}

Ticks fileGetTime(const char* path) {
    struct stat info;
    if (::stat(path, &info) != 0)
        throw SystemExceptionFmt("fileGetTime(%s)", errno, path);
    return ticksFromUnixSeconds(info.st_mtime);
}

void fileSetTime(const char* path, Ticks modified, Ticks accessed) {
    struct timeval times[2] = {timevalFromTicks(accessed != 0 ? accessed : modified),
                               timevalFromTicks(modified)};
    if (::utimes(path, times) != 0)
        throw SystemExceptionFmt("fileSetTime(%s)", errno, path);
}

bool fileIsSameAsFd(int fd, const char* path) {
    struct stat opened;
    if (::fstat(fd, &opened) != 0)
        throw SystemException("fileIsSameAsFd/fstat", errno);
    struct stat named;
    if (::stat(path, &named) != 0) {
        if (isMissingError(errno))
            return false;
        throw SystemExceptionFmt("fileIsSameAsFd/stat(%s)", errno, path);
    }
    return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// ---- Opening ----

int fileOpenFd(const char* path, int flags, mode_t mode) {
    int fd = fileOpenFd(path, flags, mode, std::nothrow);
    if (fd < 0)
        throw SystemExceptionFmt("fileOpenFd(%s)", errno, path);
    return fd;
}

int fileOpenFd(const char* path, int flags, mode_t mode, std::nothrow_t) {
    return ::open(path, flags | O_CLOEXEC, mode);
}

FILE* fileOpen(const char* path, int flags, const char* stdioMode, mode_t mode) {
    UniqueFd fd(::open(path, flags | O_CLOEXEC, mode));
    if (!fd.valid())
        return nullptr;
    FILE* file = ::fdopen(fd.get(), stdioMode);
    if (file) {
        fd.release();
        return file;
    }
    int fdopenErrno = errno;
    fd.reset();
    errno = fdopenErrno;
    return nullptr;
}

// ---- Operations on an open FILE* ----

std::size_t fileRead(FILE* file, void* buffer, std::size_t count) {
    // fread of nothing returns 0 without setting either indicator; that is neither end of file
    // nor an error.
    if (count == 0)
        return 0;
    std::size_t got = std::fread(buffer, 1, count, file);
    if (got > 0)
        return got;
    if (std::feof(file))
        return 0;
    throw StdlibException("reading from file failed");
}

void fileTruncate(FILE* file, std::int64_t length) {
    int fd = ::fileno(file);
    while (::ftruncate(fd, off_t(length)) != 0) {
        if (errno != EINTR)
            throw SystemException("fileTruncate()", errno);
    }
}

std::int64_t fileTell(FILE* file) {
    std::int64_t position = fileTell(file, std::nothrow);
    if (position < 0)
        throw SystemException("fileTell", errno);
    return position;
}

std::int64_t fileTell(FILE* file, std::nothrow_t) {
    return ::ftello(file);
}

void fileSeek(FILE* file, std::int64_t offset, int whence) {
    if (!fileSeek(file, offset, whence, std::nothrow))
        throw SystemException("fileSeek", errno);
}

bool fileSeek(FILE* file, std::int64_t offset, int whence, std::nothrow_t) {
    return ::fseeko(file, off_t(offset), whence) == 0;
}

std::int64_t fileGetSize(FILE* file) {
    std::int64_t position = fileTell(file);
    fileSeek(file, 0, SEEK_END);
    std::int64_t size = fileTell(file);
    fileSeek(file, position, SEEK_SET);
    return size;
}

bool fileLock(FILE* file, bool wait) {
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    int fd = ::fileno(file);
    for (;;) {
        if (::fcntl(fd, wait ? F_SETLKW : F_SETLK, &lock) == 0)
            return true;
        if (wait && errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EACCES)
            return false;
        throw SystemException("fileLock", errno);
    }
}

void fileUnlock(FILE* file) {
    struct flock lock = {};
    lock.l_type = F_UNLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(::fileno(file), F_SETLK, &lock) != 0)
        throw SystemException("fileUnlock", errno);
}

bool fileCopyPerms(const char* path, int fd) {
    struct stat info;
    if (::stat(path, &info) != 0) {
        if (isMissingError(errno))
            return false;
        throw SystemExceptionFmt("fileCopyPerms/stat(%s)", errno, path);
    }
    if (::fchmod(fd, info.st_mode & 07777) != 0)
        throw SystemException("fileCopyPerms/fchmod", errno);
    return true;
}

bool fileCopyPerms(const char* path, FILE* file) {
    return fileCopyPerms(path, ::fileno(file));
}

} // namespace plat
