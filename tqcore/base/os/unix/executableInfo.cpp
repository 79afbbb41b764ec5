// ELF header and program-header reading for the interpreter; set-user-id checks.
#include <os/unix/executableInfo.h>

#include <plat/Exception.h>
#include <plat/file.h>
#include <rdr/Exception.h>
#include <rdr/FileHandle.h>

#include <cstdio>
#include <cstring>
#include <elf.h>
#include <sys/stat.h>
#include <vector>

namespace os {

namespace {

// A path the kernel would accept is shorter than this; anything longer comes from a damaged or
// hostile file and must not decide how much memory is taken.
constexpr std::uint64_t MaxInterpreterSize = 4096;

// fileRead may deliver less than asked for; the headers are needed whole.
void readExactly(FILE* file, void* buffer, std::size_t count) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (count > 0) {
        std::size_t got = plat::fileRead(file, bytes, count);
        if (got == 0)
            throw rdr::EndOfStream("End of file");
        bytes += got;
        count -= got;
    }
}

// As readExactly, but an early end of file only shortens the result.
std::size_t readUpTo(FILE* file, unsigned char* buffer, std::size_t count) {
    std::size_t total = 0;
    while (total < count) {
        std::size_t got = plat::fileRead(file, buffer + total, count - total);
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

// A text file shorter than the identification is still just not an ELF file.
void readIdentification(FILE* file, unsigned char (&identification)[EI_NIDENT]) {
    std::size_t got = readUpTo(file, identification, EI_NIDENT);
    if (got < SELFMAG || std::memcmp(identification, ELFMAG, SELFMAG) != 0)
        throw plat::Exception("Not an ELF file");
    if (got < EI_NIDENT)
        throw rdr::EndOfStream("End of file");
}

plat::DString readInterpreter(FILE* file, std::uint64_t offset, std::uint64_t size) {
    if (size == 0 || size > MaxInterpreterSize)
        throw plat::Exception("Bad ELF interpreter size");
    std::vector<char> bytes(size);
    plat::fileSeek(file, std::int64_t(offset), SEEK_SET);
    readExactly(file, bytes.data(), bytes.size());
    return plat::DString(bytes.data(), int(::strnlen(bytes.data(), bytes.size())));
}

// Header and ProgramHeader are the <elf.h> types of one class; the identification bytes that
// begin the header have already been read.
template <typename Header, typename ProgramHeader>
plat::DString findInterpreter(FILE* file, const unsigned char* identification) {
    Header header;
    std::memcpy(header.e_ident, identification, EI_NIDENT);
    readExactly(file, reinterpret_cast<unsigned char*>(&header) + EI_NIDENT,
                sizeof header - EI_NIDENT);
    plat::fileSeek(file, std::int64_t(header.e_phoff), SEEK_SET);
    for (unsigned index = 0; index < header.e_phnum; ++index) {
        ProgramHeader program;
        readExactly(file, &program, sizeof program);
        if (program.p_type == PT_INTERP)
            return readInterpreter(file, program.p_offset, program.p_filesz);
    }
    return plat::DString();
}

} // namespace

plat::DString getElfInterpreter(const char* path) {
    rdr::FileHandle file = rdr::FileHandle::openForReading(path);
    unsigned char identification[EI_NIDENT];
    readIdentification(file.get(), identification);
    switch (identification[EI_CLASS]) {
    case ELFCLASS64:
        return findInterpreter<Elf64_Ehdr, Elf64_Phdr>(file.get(), identification);
    case ELFCLASS32:
        return findInterpreter<Elf32_Ehdr, Elf32_Phdr>(file.get(), identification);
    default:
        throw plat::Exception("Unknown ELF class");
    }
}

bool isSetuidRootExecutable(const char* path) {
    struct stat info;
    if (::lstat(path, &info) != 0)
        return false;
    return info.st_uid == 0 && (info.st_mode & S_ISUID) && (info.st_mode & S_IXUSR);
}

} // namespace os
