// File-system services: paths, existence and metadata, creation and removal, unique names,
// ownership and permissions, whole-file locks and the root-owned-path check.
//
// Most operations come in two forms: one raises plat::SystemException (the context names the call
// and, where there is one, the path, and the exception carries errno); the std::nothrow form
// returns a success flag and leaves errno as the failing call set it.
#pragma once

#include <plat/DString.h>
#include <plat/Time.h>

#include <cstdint>
#include <cstdio>
#include <new>
#include <sys/types.h>
#include <vector>

namespace plat {

// Paths

bool isAbsolutePath(const char* path);
// Lexical normalisation: collapses "//", drops ".", resolves ".." where possible.
DString fileNormalisePath(const char* path);
DString fileDirName(const char* path);
// The last component; a suffix (compared without case) is cut when the component is longer.
DString fileBaseName(const char* path, const char* suffix = nullptr);
DString getCwd();
// The absolute path with every symbolic link resolved (at most 20 link replacements). ".."
// steps back from what the preceding components resolved to, as the kernel does; failures raise
// "realpath(%s)" with the caller's path.
DString fileRealPath(const char* path);

// Existence and metadata

// False for ENOENT and ENOTDIR; other failures of stat raise "fileExists(%s)".
bool fileExists(const char* path);
// Whether stat succeeds.
bool fileExists(const char* path, std::nothrow_t);
bool isDirectory(const char* path);
std::int64_t fileGetSize(const char* path);
Ticks fileGetTime(const char* path);
// A zero access time sets the access time to the modification time.
void fileSetTime(const char* path, Ticks modified, Ticks accessed = 0);
bool fileIsSameAsFd(int fd, const char* path);

// Opening; O_CLOEXEC is always added.

int fileOpenFd(const char* path, int flags, mode_t mode = 0);
int fileOpenFd(const char* path, int flags, mode_t mode, std::nothrow_t);
// Null with errno set on failure.
FILE* fileOpen(const char* path, int flags, const char* stdioMode, mode_t mode = 0);

// Operations on an open FILE*

// One fread: the bytes read, 0 at the end of the file (and for a count of 0); raises
// StdlibException "reading from file failed" on an error.
std::size_t fileRead(FILE* file, void* buffer, std::size_t count);
void fileTruncate(FILE* file, std::int64_t length);
std::int64_t fileTell(FILE* file);
std::int64_t fileTell(FILE* file, std::nothrow_t);
void fileSeek(FILE* file, std::int64_t offset, int whence);
bool fileSeek(FILE* file, std::int64_t offset, int whence, std::nothrow_t);
std::int64_t fileGetSize(FILE* file);
// Whole-file write lock; false when another process holds it (and wait is false).
bool fileLock(FILE* file, bool wait);
void fileUnlock(FILE* file);
// Gives the open file the mode of path; false when path does not exist.
bool fileCopyPerms(const char* path, int fd);
bool fileCopyPerms(const char* path, FILE* file);

// Creation and removal

// Returns whether the directory was created; an existing directory is not an error.
bool mkDir(const char* path, bool makePrivate, bool makePrivateIfExists = false);
bool mkDirs(const char* path, bool makePrivate, bool makePrivateIfExists = false);
bool mkDirMatchParent(const char* path, bool makePrivate);
// Recursive removal never follows a symbolic link, the named directory's own included.
void rmDir(const char* path, bool recursive);
bool rmDir(const char* path, bool recursive, std::nothrow_t);
void fileRemove(const char* path);
// Async-signal-safe.
bool fileRemove(const char* path, std::nothrow_t);
void fileRename(const char* from, const char* to);
bool fileRename(const char* from, const char* to, std::nothrow_t);
void chDir(const char* path);
bool chDir(const char* path, std::nothrow_t);

// Unique names: dir/stem.ext, then dir/stem<open>1<close>.ext ... up to limit. The name is
// cleaned first (control bytes, 0x7f and '/' become '-'). Raises "Too many files with same name"
// when every candidate exists. The name is not reserved: another process may take it before the
// caller creates the file.
DString fileUniqueName(const char* dir, const char* name, const char* open, const char* close,
                       int limit);
// Candidate number n of that sequence.
DString fileUniqueNameCandidate(const char* dir, const char* name, const char* open,
                                const char* close, int n);
// Creates the first free candidate of the same sequence atomically with
// O_CREAT|O_EXCL|O_NOFOLLOW|O_CLOEXEC and the given flags and mode, skipping names that exist or
// are taken meanwhile (even by a dangling symbolic link), so that the file is always a new one of
// our own. Returns the descriptor and stores the name in path.
int fileCreateUnique(const char* dir, const char* name, const char* open, const char* close,
                     int limit, int flags, mode_t mode, DString& path);

// Ownership and permissions

// Owner becomes the effective user; group and other permissions are removed. Pass a descriptor,
// or -1 and a path.
void fileMakePrivate(int fd, const char* path);
void fileMakePrivate(FILE* file, const char* path);
void fileMakeSticky(const char* path);
// Checks that path and every prefix of its real path are owned by root and not writable by
// group or others; returns the real path. When target is given, path must exist.
DString fileCheckSecure(const char* path, const char* target = nullptr);

// Searching; null when nothing is found.

DString fileFindInDirs(const std::vector<DString>& dirs, const char* name);
// Depth-first, subdirectories before the entry itself; links to directories are not descended
// into. Any failure on the way (an unreadable subdirectory too) gives null.
DString fileFindRecursive(const char* dir, const char* name);

} // namespace plat
