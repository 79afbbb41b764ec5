// Test support: a reader of the ".mo" format (magic, count, two tables of length and offset).
#include "moFile.h"

#include <support/fileContents.h>

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <sys/wait.h>

namespace loctest {

namespace {

class MoReader {
public:
    explicit MoReader(std::string bytes) : bytes(std::move(bytes)) {
        std::uint32_t magic = word(0, false);
        if (magic == 0x950412de)
            bigEndian = false;
        else if (magic == 0xde120495)
            bigEndian = true;
        else
            throw std::runtime_error("not a .mo file");
    }

    std::uint32_t word(std::size_t at) const { return word(at, bigEndian); }

    std::string text(std::size_t tableOffset, std::uint32_t index) const {
        std::uint32_t length = word(tableOffset + index * 8);
        std::uint32_t offset = word(tableOffset + index * 8 + 4);
        if (std::size_t(offset) + length > bytes.size())
            throw std::runtime_error("string outside the file");
        return bytes.substr(offset, length);
    }

private:
    std::uint32_t word(std::size_t at, bool big) const {
        if (at + 4 > bytes.size())
            throw std::runtime_error("truncated .mo file");
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            auto byte = std::uint32_t(static_cast<unsigned char>(bytes[at + (big ? i : 3 - i)]));
            value = value << 8 | byte;
        }
        return value;
    }

    std::string bytes;
    bool bigEndian = false;
};

} // namespace

std::map<std::string, std::string> readMoFile(const std::string& path) {
    MoReader reader{testsupport::readFile(path)};
    std::uint32_t count = reader.word(8);
    std::uint32_t originals = reader.word(12);
    std::uint32_t translations = reader.word(16);
    std::map<std::string, std::string> entries;
    for (std::uint32_t i = 0; i < count; ++i)
        entries[reader.text(originals, i)] = reader.text(translations, i);
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
