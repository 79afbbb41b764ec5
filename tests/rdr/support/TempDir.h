// A temporary directory under /tmp for one test, removed with its contents afterwards.
#pragma once

#include <string>

namespace rdrtest {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return directory; }
    std::string file(const std::string& name) const { return directory + "/" + name; }

private:
    std::string directory;
};

std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& contents);

} // namespace rdrtest
