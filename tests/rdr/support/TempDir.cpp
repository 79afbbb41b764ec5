// Per-test temporary directories and whole-file helpers.
#include "TempDir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace rdrtest {

TempDir::TempDir() {
    char pattern[] = "/tmp/rdr-test-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    directory = pattern;
}

TempDir::~TempDir() {
    std::string command = "rm -rf '" + directory + "'";
    if (std::system(command.c_str()) != 0)
        std::abort();
}

std::string readWholeFile(const std::string& path) {
    std::stringstream contents;
    contents << std::ifstream(path, std::ios::binary).rdbuf();
    return contents.str();
}

void writeWholeFile(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

} // namespace rdrtest
