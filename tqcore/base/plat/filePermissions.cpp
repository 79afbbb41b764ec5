// Ownership and permissions of files, the root-owned-path check and searching for files in
// directories.
#include <plat/file.h>

#include <plat/Exception.h>
#include <plat/fileInternals.h>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace plat {

namespace {

// ---- Permissions ----

void makeDescriptorPrivate(int fd) {
    struct stat info;
    if (::fstat(fd, &info) != 0)
        throw SystemException("fileMakePrivate/fstat", errno);
    uid_t user = ::geteuid();
    if (info.st_uid != user && ::fchown(fd, user, gid_t(-1)) != 0)
        throw SystemException("fileMakePrivate/fchown", errno);
    if ((info.st_mode & 077) != 0 && ::fchmod(fd, info.st_mode & 07700) != 0)
        throw SystemException("fileMakePrivate/fchmod", errno);
}

void makePathPrivate(const char* path) {
    struct stat info;
    if (::stat(path, &info) != 0)
        throw SystemExceptionFmt("fileMakePrivate/stat(%s)", errno, path);
    uid_t user = ::geteuid();
    if (info.st_uid != user && ::chown(path, user, gid_t(-1)) != 0)
        throw SystemExceptionFmt("fileMakePrivate/chown(%s)", errno, path);
    if ((info.st_mode & 077) != 0 && ::chmod(path, info.st_mode & 07700) != 0)
        throw SystemExceptionFmt("fileMakePrivate/chmod(%s)", errno, path);
}

void checkPrefixSecure(const char* prefix, const std::set<uid_t>& trustedOwners) {
    struct stat followed;
    if (::stat(prefix, &followed) != 0)
        throw SystemExceptionFmt("stat(%s)", errno, prefix);
    struct stat itself;
    if (::lstat(prefix, &itself) != 0)
        throw SystemExceptionFmt("lstat(%s)", errno, prefix);
    if (!trustedOwners.count(followed.st_uid) || !trustedOwners.count(itself.st_uid) ||
        (followed.st_mode & 022) != 0)
        throw ExceptionFmt("%s: permissions are not restrictive enough", prefix);
}

// ---- Searching ----

// Entries of one directory other than "." and "..", with their full paths.
class DirectoryReader {
public:
    explicit DirectoryReader(const std::string& path) : directory(::opendir(path.c_str())) {
        if (!directory)
            throw StdlibException("opendir(%s)", path.c_str());
        prefix = path;
        if (prefix.empty() || prefix.back() != '/')
            prefix += '/';
    }

    // The next entry name, or false at the end.
    bool next(std::string& name) {
        for (;;) {
            errno = 0;
            struct dirent* entry = ::readdir(directory.get());
            if (!entry && errno != 0)
                throw SystemException("readdir", errno);
            if (!entry)
                return false;
            if (isDotOrDotDot(entry->d_name))
                continue;
            name = entry->d_name;
            return true;
        }
    }

    std::string pathOf(const std::string& name) const { return prefix + name; }

private:
    DirHandle directory;
    std::string prefix;
};

// A directory itself, not a link to one: links are not descended into, so a link back up the
// tree cannot make the walk endless.
bool isRealDirectory(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

DString findBelow(const std::string& directory, const char* name) {
    DirectoryReader reader(directory);
    std::string entry;
    while (reader.next(entry)) {
        std::string entryPath = reader.pathOf(entry);
        if (isRealDirectory(entryPath)) {
            DString hit = findBelow(entryPath, name);
            if (!hit.isNull())
                return hit;
        }
        if (entry == name && fileExists(entryPath.c_str(), std::nothrow))
            return DString(entryPath.c_str());
    }
    return DString();
}

} // namespace

// ---- Ownership and permissions ----

void fileMakePrivate(int fd, const char* path) {
    if (fd >= 0)
        makeDescriptorPrivate(fd);
    else
        makePathPrivate(path);
}

void fileMakePrivate(FILE* file, const char* path) {
    fileMakePrivate(file ? ::fileno(file) : -1, path);
}

void fileMakeSticky(const char* path) {
    struct stat info;
    if (::stat(path, &info) != 0)
        throw SystemExceptionFmt("fileMakeSticky/stat(%s)", errno, path);
    if ((info.st_mode & S_ISVTX) == 0 && ::chmod(path, (info.st_mode & 07777) | S_ISVTX) != 0)
        throw SystemExceptionFmt("fileMakeSticky/chmod(%s)", errno, path);
}

DString fileCheckSecure(const char* path, const char* target) {
    PLAT_ASSERT(isAbsolutePath(path));
    if (target && !fileExists(path))
        throw ExceptionFmt("%s must be created and point to %s", path, target);
    DString realPath = fileRealPath(path);
    const std::set<uid_t> trustedOwners{0};
    checkPrefixSecure("/", trustedOwners);
    std::string prefix(realPath.c_str());
    for (std::size_t slash = prefix.find('/', 1); slash != std::string::npos;
         slash = prefix.find('/', slash + 1))
        checkPrefixSecure(prefix.substr(0, slash).c_str(), trustedOwners);
    if (prefix != "/")
        checkPrefixSecure(prefix.c_str(), trustedOwners);
    return realPath;
}

// ---- Searching ----

DString fileFindInDirs(const std::vector<DString>& dirs, const char* name) {
    for (const DString& dir : dirs) {
        DString candidate(dir.c_str());
        if (candidate.isEmpty() || candidate.get()[candidate.length() - 1] != '/')
            candidate.appendChar('/');
        candidate.append(name);
        if (fileExists(candidate.get(), std::nothrow))
            return candidate;
    }
    return DString();
}

DString fileFindRecursive(const char* dir, const char* name) {
    try {
        return findBelow(dir, name);
    } catch (const Exception&) {
        return DString();
    }
}

} // namespace plat
