// Test support: a reader of the ".mo" format (magic, count, two tables of length and offset), in
// the little-endian byte order that msgfmt writes on this platform.
#include "moFile.h"

#include <support/fileContents.h>

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <sys/wait.h>

namespace loctest {

namespace {

std::uint32_t wordAt(const std::string& bytes, std::size_t at) {
    if (at + 4 > bytes.size())
        throw std::runtime_error("truncated .mo file");
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::string textAt(const std::string& bytes, std::size_t tableOffset, std::uint32_t index) {
    std::uint32_t length = wordAt(bytes, tableOffset + index * 8);
    std::uint32_t offset = wordAt(bytes, tableOffset + index * 8 + 4);
    if (std::size_t(offset) + length > bytes.size())
        throw std::runtime_error("string outside the file");
    return bytes.substr(offset, length);
}

} // namespace

std::map<std::string, std::string> readMoFile(const std::string& path) {
    std::string bytes = testsupport::readFile(path);
    if (wordAt(bytes, 0) != 0x950412de)
        throw std::runtime_error("not a little-endian .mo file");
    std::map<std::string, std::string> entries;
    for (std::uint32_t i = 0; i < wordAt(bytes, 8); ++i)
        entries[textAt(bytes, wordAt(bytes, 12), i)] = textAt(bytes, wordAt(bytes, 16), i);
    return entries;
}

bool haveGettextTools() {
    return runCommand("command -v msgfmt >/dev/null 2>&1 && command -v msgunfmt >/dev/null 2>&1") ==
           0;
}

int runCommand(const std::string& command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace loctest
