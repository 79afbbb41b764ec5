// A scratch directory under /tmp for one test, removed with everything in it at the end.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

class TemporaryDirectory {
public:
    // Throws std::runtime_error when no directory can be made.
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    // The real path, free of symbolic links, so that it compares equal to resolved paths.
    const std::string& path() const { return directory; }
    // The path of an entry below the directory, which need not exist.
    std::string file(const std::string& name) const { return directory + "/" + name; }
    // Writes a file below the directory, with any missing parents, and returns its path.
    std::string write(const std::string& name, const std::string& contents, int mode = 0644) const;
    // The names of the entries directly below, sorted.
    std::vector<std::string> entries() const;

private:
    std::string directory;
};

} // namespace testsupport
