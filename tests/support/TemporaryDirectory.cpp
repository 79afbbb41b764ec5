// Scratch directories for tests.
#include "TemporaryDirectory.h"

#include "fileContents.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>

namespace testsupport {

TemporaryDirectory::TemporaryDirectory() {
    char pattern[] = "/tmp/qvtest.XXXXXX";
    char resolved[PATH_MAX];
    if (!mkdtemp(pattern) || !realpath(pattern, resolved))
        throw std::runtime_error("cannot make a temporary directory");
    directory = resolved;
    // Tests that drop privileges must reach what they hand to nobody below it.
    chmod(directory.c_str(), 0755);
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}

std::string TemporaryDirectory::write(const std::string& name, const std::string& contents,
                                      int mode) const {
    std::string path = file(name);
    writeFile(path, contents, mode);
    return path;
}

std::vector<std::string> TemporaryDirectory::entries() const {
    return entriesOf(directory);
}

} // namespace testsupport
