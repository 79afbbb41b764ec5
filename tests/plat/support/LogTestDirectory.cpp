// Temporary directories for log-file tests.
#include "LogTestDirectory.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <stdlib.h>
#include <sys/time.h>

namespace plattest {

LogTestDirectory::LogTestDirectory() {
    char pattern[] = "/tmp/qv-log-test-XXXXXX";
    if (!::mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    directory = pattern;
}

LogTestDirectory::~LogTestDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}

std::string LogTestDirectory::read(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

void LogTestDirectory::create(const std::string& name, const std::string& content) const {
    std::ofstream out(path(name), std::ios::binary);
    out << content;
}

void LogTestDirectory::setModified(const std::string& name, std::time_t when) const {
    timeval times[2] = {{when, 0}, {when, 0}};
    if (::utimes(path(name).c_str(), times) != 0)
        throw std::runtime_error("utimes failed");
}

bool LogTestDirectory::exists(const std::string& name) const {
    return std::filesystem::exists(path(name));
}

std::vector<std::string> LogTestDirectory::names() const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace plattest
