// Executable look-up on PATH and the program's own location, read once from /proc/self/exe.
#include <os/unix/programPath.h>

#include <plat/Exception.h>
#include <plat/file.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace os {

namespace {

bool isExecutableFile(const char* path) {
    struct stat info;
    return ::stat(path, &info) == 0 && S_ISREG(info.st_mode) && ::access(path, X_OK) == 0;
}

// Empty elements are skipped: taken literally they would name a file in the root directory.
std::vector<plat::DString> pathElements() {
    std::vector<plat::DString> elements;
    const char* path = std::getenv("PATH");
    if (!path)
        return elements;
    while (true) {
        const char* colon = std::strchr(path, ':');
        int length = colon ? int(colon - path) : int(std::strlen(path));
        if (length > 0)
            elements.emplace_back(path, length);
        if (!colon)
            return elements;
        path = colon + 1;
    }
}

// The first candidate that exists ends the search, whether or not it can be run.
plat::DString searchPath(const char* name) {
    std::vector<plat::DString> elements = pathElements();
    for (const plat::DString& element : elements)
        if (element.get()[0] == '~')
            throw plat::Exception("PATH contains invalid '~' character");
    for (const plat::DString& element : elements) {
        plat::DString candidate;
        candidate.format("%s/%s", element.get(), name);
        struct stat info;
        if (::stat(candidate.get(), &info) != 0)
            continue;
        if (isExecutableFile(candidate.get()))
            return candidate;
        return plat::DString();
    }
    return plat::DString();
}

plat::DString computeOwnPath() {
    return plat::fileRealPath("/proc/self/exe");
}

const plat::DString& ownPath() {
    static std::once_flag once;
    static plat::DString path;
    std::call_once(once, [] { path = computeOwnPath(); });
    return path;
}

plat::DString findBesideProgram(const char* name) {
    plat::DString dir = getProgramDir();
    plat::DString candidate;
    int length = dir.length();
    bool endsInSlash = length > 0 && dir.get()[length - 1] == '/';
    candidate.format(endsInSlash ? "%s%s" : "%s/%s", dir.get(), name);
    return findExecutable(candidate.get(), false);
}

} // namespace

plat::DString findExecutable(const char* name, bool searchPathWanted) {
    if (!name)
        return plat::DString();
    plat::DString found;
    if (std::strchr(name, '/')) {
        if (isExecutableFile(name))
            found.assign(name);
    } else if (searchPathWanted) {
        found = searchPath(name);
    }
    if (found.isNull())
        return found;
    return plat::fileRealPath(found.get());
}

plat::DString getProgramPath(const char* name, bool mustExist, bool searchPathWanted) {
    if (!name)
        return ownPath();
    plat::DString found;
    if (!plat::isAbsolutePath(name))
        found = findBesideProgram(name);
    if (found.isNull())
        found = findExecutable(name, searchPathWanted);
    if (found.isNull() && mustExist)
        throw plat::SystemExceptionFmt("%s does not exist or is not executable", ENOENT, name);
    return found;
}

plat::DString getProgramDir() {
    return plat::fileDirName(getProgramPath(nullptr).get());
}

} // namespace os
