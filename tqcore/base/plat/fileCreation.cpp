// Creating and removing files and directories: directories made private, recursive removal that
// never follows a link, renaming, and unique names created as new files of our own.
#include <plat/file.h>

#include <plat/Exception.h>
#include <plat/UniqueFd.h>
#include <plat/fileInternals.h>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

constexpr const char* TooManyNamesText = "Too many files with same name";

// ---- Removal ----

void removeDirectoryAt(int parentFd, const char* name);

// Entries are reached through directory descriptors and never through a symbolic link, so an
// entry swapped for a link while the walk runs cannot steer the removal outside the tree.
void removeDirectoryContents(UniqueFd directoryFd) {
    DirHandle directory(::fdopendir(directoryFd.get()));
    if (!directory)
        return;
    directoryFd.release();
    int fd = ::dirfd(directory.get());
    while (struct dirent* entry = ::readdir(directory.get())) {
        if (isDotOrDotDot(entry->d_name))
            continue;
        struct stat info;
        if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(info.st_mode))
            removeDirectoryAt(fd, entry->d_name);
        else
            ::unlinkat(fd, entry->d_name, 0);
    }
}

void removeDirectoryAt(int parentFd, const char* name) {
    UniqueFd fd(::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.valid())
        removeDirectoryContents(std::move(fd));
    ::unlinkat(parentFd, name, AT_REMOVEDIR);
}

// ---- Unique names ----

std::string cleanFileName(const char* name) {
    std::string cleaned(name ? name : "");
    for (char& c : cleaned) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f || byte == '/')
            c = '-';
    }
    return cleaned;
}

// The new descriptor, or -1 when the name is taken (by anything, a dangling link included).
int createExclusive(const char* path, int flags, mode_t mode) {
    for (;;) {
        int fd = ::open(path, flags | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0)
            return fd;
        if (errno == EEXIST)
            return -1;
        if (errno != EINTR)
            throw SystemExceptionFmt("fileOpenFd(%s)", errno, path);
    }
}

} // namespace

// ---- Creation and removal ----

bool mkDir(const char* path, bool makePrivate, bool makePrivateIfExists) {
    if (::mkdir(path, makePrivate ? 0700 : 0777) == 0)
        return true;
    int err = errno;
    if (!isDirectory(path))
        throw SystemExceptionFmt("mkDir(%s)", err, path);
    if (makePrivate && makePrivateIfExists)
        fileMakePrivate(-1, path);
    return false;
}

bool mkDirs(const char* path, bool makePrivate, bool makePrivateIfExists) {
    try {
        return mkDir(path, makePrivate, makePrivateIfExists);
    } catch (const SystemException& e) {
        if (e.error() != ENOENT || !namesCreatableDirectory(path))
            throw;
    }
    mkDirs(fileDirName(path).get(), makePrivate, false);
    return mkDir(path, makePrivate, makePrivateIfExists);
}

bool mkDirMatchParent(const char* path, bool makePrivate) {
    if (!mkDir(path, true, false))
        return false;
    struct stat parent;
    if (::stat(fileDirName(path).get(), &parent) != 0)
        throw SystemException("mkDirMatchParent/stat", errno);
    if (::chown(path, parent.st_uid, parent.st_gid) != 0)
        throw SystemException("mkDirMatchParent/chown", errno);
    if (::chmod(path, parent.st_mode & (makePrivate ? 07700 : 07755)) != 0)
        throw SystemException("mkDirMatchParent/chmod", errno);
    return true;
}

void rmDir(const char* path, bool recursive) {
    if (!rmDir(path, recursive, std::nothrow))
        throw SystemExceptionFmt("rmDir(%s)", errno, path);
}

bool rmDir(const char* path, bool recursive, std::nothrow_t) {
    if (recursive) {
        // A link named as the directory is not followed: its target's contents are not ours.
        UniqueFd fd(::open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (fd.valid())
            removeDirectoryContents(std::move(fd));
    }
    return ::rmdir(path) == 0;
}

void fileRemove(const char* path) {
    if (!fileRemove(path, std::nothrow))
        throw SystemExceptionFmt("fileRemove(%s)", errno, path);
}

bool fileRemove(const char* path, std::nothrow_t) {
    // Only unlink and rmdir, which are async-signal-safe: signal handlers remove files with this.
    if (::unlink(path) == 0)
        return true;
    if (errno != EISDIR)
        return false;
    return ::rmdir(path) == 0;
}

void fileRename(const char* from, const char* to) {
    if (!fileRename(from, to, std::nothrow))
        throw SystemExceptionFmt("fileRename(%s,%s)", errno, from, to);
}

bool fileRename(const char* from, const char* to, std::nothrow_t) {
    return ::rename(from, to) == 0;
}

void chDir(const char* path) {
    if (!chDir(path, std::nothrow))
        throw SystemExceptionFmt("chDir(%s)", errno, path);
}

bool chDir(const char* path, std::nothrow_t) {
    return ::chdir(path) == 0;
}

DString fileUniqueNameCandidate(const char* dir, const char* name, const char* open,
                                const char* close, int n) {
    std::string cleaned = cleanFileName(name);
    std::size_t dot = cleaned.rfind('.');
    DString candidate(dir);
    candidate.appendChar('/');
    candidate.append(cleaned.c_str(), int(dot == std::string::npos ? cleaned.size() : dot));
    if (n > 0) {
        candidate.append(open);
        candidate.appendf("%d", n);
        candidate.append(close);
    }
    if (dot != std::string::npos)
        candidate.appendf(".%s", cleaned.c_str() + dot + 1);
    return candidate;
}

DString fileUniqueName(const char* dir, const char* name, const char* open, const char* close,
                       int limit) {
    for (int n = 0; n <= limit; ++n) {
        DString candidate = fileUniqueNameCandidate(dir, name, open, close, n);
        if (!fileExists(candidate.get()))
            return candidate;
    }
    throw Exception(TooManyNamesText);
}

int fileCreateUnique(const char* dir, const char* name, const char* open, const char* close,
                     int limit, int flags, mode_t mode, DString& path) {
    for (int n = 0; n <= limit; ++n) {
        DString candidate = fileUniqueNameCandidate(dir, name, open, close, n);
        if (fileExists(candidate.get()))
            continue;
        int fd = createExclusive(candidate.get(), flags, mode);
        if (fd >= 0) {
            path = std::move(candidate);
            return fd;
        }
    }
    throw Exception(TooManyNamesText);
}

} // namespace plat
