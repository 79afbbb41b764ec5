// Test support: a fresh directory under /tmp, removed with everything in it at the end.
#pragma once

#include <string>

namespace loctest {

class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::string& path() const { return directory; }
    // Writes a file below the directory and returns its path.
    std::string write(const std::string& name, const std::string& contents) const;

private:
    std::string directory;
};

} // namespace loctest
