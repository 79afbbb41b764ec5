// Whole-file helpers for tests.
#include "fileContents.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/time.h>

namespace testsupport {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& contents, int mode) {
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    out.close();
    if (!out || chmod(path.c_str(), mode_t(mode)) != 0)
        throw std::runtime_error("cannot write " + path);
}

void copyExecutable(const std::string& from, const std::string& to) {
    std::filesystem::create_directories(std::filesystem::path(to).parent_path());
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(to, std::filesystem::perms(0755));
}

void setModified(const std::string& path, std::time_t when) {
    timeval times[2] = {{when, 0}, {when, 0}};
    if (utimes(path.c_str(), times) != 0)
        throw std::runtime_error("cannot set the times of " + path);
}

std::vector<std::string> entriesOf(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int modeOf(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

bool exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

} // namespace testsupport
