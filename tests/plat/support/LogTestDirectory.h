// A temporary directory for log-file tests, removed with everything in it when the object ends.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace plattest {

class LogTestDirectory {
public:
    LogTestDirectory();
    ~LogTestDirectory();
    LogTestDirectory(const LogTestDirectory&) = delete;
    LogTestDirectory& operator=(const LogTestDirectory&) = delete;

    const std::string& root() const { return directory; }
    std::string path(const std::string& name) const { return directory + "/" + name; }
    // The file's content; empty when it cannot be read.
    std::string read(const std::string& name) const;
    void create(const std::string& name, const std::string& content) const;
    void setModified(const std::string& name, std::time_t when) const;
    bool exists(const std::string& name) const;
    // The names in the directory, sorted.
    std::vector<std::string> names() const;

private:
    std::string directory;
};

} // namespace plattest
