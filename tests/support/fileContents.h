// Whole-file reading and writing and small questions about paths, for setting up and checking
// what the code under test finds and leaves on disk.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace testsupport {

// The whole content; empty when the file cannot be read (tests poll for files still to come).
std::string readFile(const std::string& path);
// Replaces the content and sets the permission bits, making missing parent directories; throws
// std::runtime_error on failure.
void writeFile(const std::string& path, const std::string& contents, int mode = 0644);
// Copies a program, making missing parent directories, and makes the copy executable.
void copyExecutable(const std::string& from, const std::string& to);
// Sets the access and modification times; throws std::runtime_error on failure.
void setModified(const std::string& path, std::time_t when);
// The names of the entries of a directory, sorted.
std::vector<std::string> entriesOf(const std::string& directory);
// The permission bits, or -1 when nothing is there.
int modeOf(const std::string& path);
// Whether anything, a dangling symbolic link included, has this name.
bool exists(const std::string& path);

} // namespace testsupport
