// ELF interpreters of real and hand-made executables, and the set-user-id root check.

#include <os/unix/executableInfo.h>

#include <plat/Exception.h>

#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <elf.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

template <typename T>
void appendBytes(std::string& image, const T& value) {
    image.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// An executable image of one ELF class: the file header, a loadable segment and, when
// interpreter is given, an interpreter segment whose bytes follow the program headers.
template <typename Header, typename ProgramHeader>
std::string elfImage(unsigned char elfClass, const char* interpreter,
                     std::uint64_t interpreterSize = 0) {
    Header header = {};
    const unsigned char ident[] = {ELFMAG0,  ELFMAG1,     ELFMAG2,   ELFMAG3,
                                   elfClass, ELFDATA2LSB, EV_CURRENT};
    std::memcpy(header.e_ident, ident, sizeof ident);
    header.e_type = ET_EXEC;
    header.e_phoff = sizeof(Header);
    header.e_phentsize = sizeof(ProgramHeader);
    header.e_phnum = interpreter ? 2 : 1;
    std::string image;
    appendBytes(image, header);

    ProgramHeader load = {};
    load.p_type = PT_LOAD;
    appendBytes(image, load);
    if (!interpreter)
        return image;
    ProgramHeader interp = {};
    interp.p_type = PT_INTERP;
    interp.p_offset = sizeof(Header) + 2 * sizeof(ProgramHeader);
    interp.p_filesz = interpreterSize ? interpreterSize : std::strlen(interpreter) + 1;
    appendBytes(image, interp);
    image.append(interpreter, std::strlen(interpreter) + 1);
    return image;
}

std::string elf64(const char* interpreter, std::uint64_t interpreterSize = 0) {
    return elfImage<Elf64_Ehdr, Elf64_Phdr>(ELFCLASS64, interpreter, interpreterSize);
}

class ElfInterpreter : public ::testing::Test {
protected:
    std::string fixture(const std::string& content) {
        std::string path = dir.file("fixture" + std::to_string(++count));
        testsupport::writeFile(path, content, 0755);
        return path;
    }

    testsupport::TemporaryDirectory dir;
    int count = 0;
};

TEST_F(ElfInterpreter, ReadsBothClassesOfHandMadeFiles) {
    EXPECT_STREQ(os::getElfInterpreter(fixture(elf64("/lib64/ld-test.so")).c_str()).get(),
                 "/lib64/ld-test.so");
    EXPECT_STREQ(
        os::getElfInterpreter(
            fixture(elfImage<Elf32_Ehdr, Elf32_Phdr>(ELFCLASS32, "/lib/ld-test.so.2")).c_str())
            .get(),
        "/lib/ld-test.so.2");
    EXPECT_TRUE(os::getElfInterpreter(fixture(elf64(nullptr)).c_str()).isNull());
}

TEST_F(ElfInterpreter, MalformedFilesAreRejectedWithTheirReason) {
    std::string image = elf64("/lib64/ld-test.so");
    std::string unknownClass = elf64(nullptr);
    unknownClass[EI_CLASS] = 3;
    const std::pair<std::string, const char*> cases[] = {
        {"#!/bin/sh\necho this is a script of some length\n", "Not an ELF file"},
        {"", "Not an ELF file"},
        {unknownClass, "Unknown ELF class"},
        {image.substr(0, 10 + EI_NIDENT), "End of file"},
        {image.substr(0, sizeof(Elf64_Ehdr) + 20), "End of file"},
        {image.substr(0, image.size() - 4), "End of file"},
        // An implausible size is refused before anything is allocated for it.
        {elf64("/x", std::uint64_t(1) << 62), "Bad ELF interpreter size"},
    };
    for (const auto& [content, reason] : cases) {
        SCOPED_TRACE(reason);
        std::string path = fixture(content);
        EXPECT_EQ(testsupport::raisedBy([&] { os::getElfInterpreter(path.c_str()); }).message,
                  reason);
    }
}

TEST_F(ElfInterpreter, MissingFileRaisesSystemException) {
    auto read = [&] { os::getElfInterpreter(dir.file("missing").c_str()); };
    EXPECT_EQ(testsupport::raisedBy<plat::SystemException>(read).error, ENOENT);
}

TEST(SetuidRoot, OnlyARootOwnedSetuidExecutableQualifies) {
    testsupport::TemporaryDirectory dir;
    auto qualifies = [](const std::string& path) {
        return os::isSetuidRootExecutable(path.c_str());
    };
    std::string suid = dir.write("suid", "", 04755);
    EXPECT_TRUE(qualifies(suid));
    EXPECT_FALSE(qualifies(dir.write("plain", "", 0755)));
    EXPECT_FALSE(qualifies(dir.write("noexec", "", 04655)));
    EXPECT_FALSE(qualifies(dir.file("missing")));
    std::string foreign = dir.write("foreign", "", 0755);
    ASSERT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
    // chown clears the set-user-id bit; set it again for the other owner.
    ::chmod(foreign.c_str(), 04755);
    EXPECT_FALSE(qualifies(foreign));
    // A link to a qualifying file is not followed.
    ASSERT_EQ(::symlink(suid.c_str(), dir.file("link").c_str()), 0);
    EXPECT_FALSE(qualifies(dir.file("link")));
}

} // namespace
