// Directory enumeration over opendir and readdir.
#include <os/unix/DirEnum.h>

#include <plat/Exception.h>
#include <plat/fixedText.h>

#include <cerrno>
#include <cstring>

namespace os {

namespace {

bool isDotOrDotDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

} // namespace

DirEnum::DirEnum(const char* path) {
    open(path);
}

void DirEnum::open(const char* path) {
    close();
    dirLen = int(plat::safeStrlen(path));
    PLAT_ASSERT(dirLen > 0);
    directory.reset(::opendir(path));
    if (!directory)
        throw plat::StdlibException("opendir(%s)", path);
    entryPath.assign(path);
    if (path[dirLen - 1] != '/') {
        entryPath.appendChar('/');
        ++dirLen;
    }
}

void DirEnum::close() {
    directory.reset();
    entryPath.reset();
    dirLen = 0;
}

const char* DirEnum::next() {
    if (!directory)
        return nullptr;
    while (true) {
        // readdir reports its failures only through errno, leaving it alone at the end.
        errno = 0;
        const dirent* entry = ::readdir(directory.get());
        if (!entry) {
            if (errno != 0)
                throw plat::SystemException("readdir", errno);
            return nullptr;
        }
        if (isDotOrDotDot(entry->d_name))
            continue;
        entryPath.truncate(dirLen);
        entryPath.append(entry->d_name);
        return entryPath.get() + dirLen;
    }
}

} // namespace os
