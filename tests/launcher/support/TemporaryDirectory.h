// A directory under /tmp that exists for the lifetime of the object.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::string& path() const { return directory; }
    std::string operator/(const std::string& name) const { return directory + "/" + name; }
    // Names of the entries, sorted.
    std::vector<std::string> entries() const;

private:
    std::string directory;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& contents, int mode = 0644);
void copyFile(const std::string& from, const std::string& to, int mode = 0755);
bool exists(const std::string& path);

} // namespace testing_support
