// What the file-service sources share; not for use outside them.
#pragma once

#include <cstring>
#include <dirent.h>
#include <memory>

namespace plat {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

inline bool isDotOrDotDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// Whether mkdir of the path can create anything of its own: false for "/", "." and a path that
// ends in "..", whose "parents" would only climb further up without end.
bool namesCreatableDirectory(const char* path);

} // namespace plat
