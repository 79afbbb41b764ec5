// File-system services on Linux/POSIX: paths, metadata, creation and removal, unique names,
// ownership and permissions, whole-file locks and the root-owned-path check.
#include <plat/file.h>

#include <plat/Exception.h>
#include <plat/UniqueFd.h>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <strings.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#include <utility>

namespace plat {

namespace {

constexpr const char* TooManyNamesText = "Too many files with same name";
// Replacements of a symbolic link by its target while resolving one real path.
constexpr int MaxLinkReplacements = 20;
constexpr std::size_t LinkTargetCapacity = 4096;
constexpr std::size_t InitialCwdCapacity = 1024;

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

bool isDotOrDotDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

bool isMissingError(int err) {
    return err == ENOENT || err == ENOTDIR;
}

// ---- Lexical paths ----

struct PathComponents {
    bool absolute = false;
    std::vector<std::string_view> names;
};

void addLexicalComponent(PathComponents& path, std::string_view name) {
    if (name.empty() || name == ".")
        return;
    if (name == "..") {
        if (!path.names.empty() && path.names.back() != "..") {
            path.names.pop_back();
            return;
        }
        // Above the root there is only the root; a relative path keeps its leading "..".
        if (path.absolute)
            return;
    }
    path.names.push_back(name);
}

// The components view into path, which must outlive the result.
PathComponents splitNormalised(const char* path) {
    PLAT_ASSERT(path != nullptr);
    PathComponents result;
    result.absolute = path[0] == '/';
    std::string_view rest(path);
    while (!rest.empty()) {
        std::size_t slash = rest.find('/');
        addLexicalComponent(result, rest.substr(0, slash));
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    return result;
}

DString joinComponents(const PathComponents& path) {
    DString result;
    result.clear();
    if (path.absolute)
        result.appendChar('/');
    for (std::size_t i = 0; i < path.names.size(); ++i) {
        if (i > 0)
            result.appendChar('/');
        result.append(path.names[i].data(), int(path.names[i].size()));
    }
    if (result.isEmpty())
        result.assign(".");
    return result;
}

bool endsWithNoCase(std::string_view text, const char* suffix) {
    std::size_t suffixLength = std::strlen(suffix);
    return text.size() > suffixLength &&
           ::strncasecmp(text.data() + text.size() - suffixLength, suffix, suffixLength) == 0;
}

// Whether mkdir of the path can create anything of its own: false for "/", "." and a path that
// ends in "..", whose "parents" would only climb further up without end.
bool namesCreatableDirectory(const char* path) {
    PathComponents components = splitNormalised(path);
    return !components.names.empty() && components.names.back() != "..";
}

// ---- Real path ----

// Resolves a path the way the kernel walks it: ".." is applied to the already resolved (link-free)
// prefix, never lexically across a symbolic link.
class RealPathResolver {
public:
    explicit RealPathResolver(const char* path) : callerPath(path) {}

    DString resolve() {
        pending = absoluteForm();
        while (!pending.empty())
            examine(takeFirstComponent());
        return DString(resolved.empty() ? "/" : resolved.c_str());
    }

private:
    [[noreturn]] void fail(int err) const {
        throw SystemExceptionFmt("realpath(%s)", err, callerPath);
    }

    std::string absoluteForm() const {
        if (isAbsolutePath(callerPath))
            return callerPath;
        DString cwd = getCwd();
        std::string joined(cwd.c_str());
        if (joined.empty() || joined.back() != '/')
            joined += '/';
        return joined + callerPath;
    }

    std::string takeFirstComponent() {
        std::size_t start = pending.find_first_not_of('/');
        if (start == std::string::npos) {
            pending.clear();
            return std::string();
        }
        std::size_t end = pending.find('/', start);
        std::string component = pending.substr(start, end - start);
        pending.erase(0, end == std::string::npos ? pending.size() : end);
        return component;
    }

    bool componentsFollow() const { return pending.find_first_not_of('/') != std::string::npos; }

    void examine(const std::string& component) {
        if (component.empty() || component == ".")
            return;
        if (component == "..") {
            if (!resolved.empty())
                resolved.erase(resolved.rfind('/'));
            return;
        }
        std::string prefix = resolved + "/" + component;
        struct stat info;
        if (::lstat(prefix.c_str(), &info) != 0)
            fail(errno);
        if (S_ISLNK(info.st_mode))
            replaceLink(prefix);
        else if (!S_ISDIR(info.st_mode) && componentsFollow())
            fail(ENOTDIR);
        else
            resolved = std::move(prefix);
    }

    void replaceLink(const std::string& link) {
        if (++replacements > MaxLinkReplacements)
            fail(ELOOP);
        std::string target = readLinkTarget(link);
        if (componentsFollow())
            target += "/" + pending;
        pending = std::move(target);
        if (pending[0] == '/')
            resolved.clear();
    }

    std::string readLinkTarget(const std::string& link) const {
        char target[LinkTargetCapacity];
        ssize_t length = ::readlink(link.c_str(), target, sizeof target);
        if (length < 0)
            fail(errno);
        if (std::size_t(length) >= sizeof target)
            fail(EIO);
        return std::string(target, std::size_t(length));
    }

    const char* callerPath;
    // Absolute, free of links, every component but the last a directory; empty for the root.
    std::string resolved;
    std::string pending;
    int replacements = 0;
};

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

// ---- Paths ----

bool isAbsolutePath(const char* path) {
    return path != nullptr && path[0] == '/';
}

DString fileNormalisePath(const char* path) {
    return joinComponents(splitNormalised(path));
}

DString fileDirName(const char* path) {
    PathComponents components = splitNormalised(path);
    if (components.names.empty())
        return DString(components.absolute ? "/" : "..");
    if (components.names.back() == "..")
        components.names.push_back("..");
    else
        components.names.pop_back();
    return joinComponents(components);
}

DString fileBaseName(const char* path, const char* suffix) {
    PathComponents components = splitNormalised(path);
    if (components.names.empty())
        return DString(components.absolute ? "/" : ".");
    std::string_view last = components.names.back();
    if (last == "..")
        return DString(".");
    if (suffix && endsWithNoCase(last, suffix))
        last.remove_suffix(std::strlen(suffix));
    return DString(last.data(), int(last.size()));
}

DString getCwd() {
    std::vector<char> buffer(InitialCwdCapacity);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            throw SystemException("getcwd", errno);
        buffer.resize(buffer.size() * 2);
    }
    return DString(buffer.data());
}

DString fileRealPath(const char* path) {
    return RealPathResolver(path).resolve();
}

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
