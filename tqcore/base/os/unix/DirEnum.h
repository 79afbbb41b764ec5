// Enumeration of a directory's entries with the full path of the current one at hand.
#pragma once

#include <plat/DString.h>
#include <plat/NonCopyable.h>

#include <dirent.h>
#include <memory>

namespace os {

class DirEnum : plat::NonCopyable {
public:
    DirEnum() = default;
    // Opens path at once; see open().
    explicit DirEnum(const char* path);

    // Closes any directory open before. Raises plat::StdlibException "opendir(%s)"; an empty or
    // null path is an internal consistency failure.
    void open(const char* path);
    void close();

    // The next entry name other than "." and "..", or null at the end; raises
    // plat::SystemException "readdir". The name stays valid until the next call.
    const char* next();
    // The directory path, "/", and the current entry's name.
    const char* path() const { return entryPath.c_str(); }

private:
    struct DirCloser {
        void operator()(DIR* directory) const { ::closedir(directory); }
    };

    std::unique_ptr<DIR, DirCloser> directory;
    plat::DString entryPath;
    int dirLen = 0;
};

} // namespace os
