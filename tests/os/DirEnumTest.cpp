// Directory enumeration: entries, full paths, failures.
#include "support/osTestSupport.h"

#include <os/unix/DirEnum.h>

#include <plat/Exception.h>

#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <string>
#include <sys/stat.h>

namespace {

std::set<std::string> listNames(os::DirEnum& directory) {
    std::set<std::string> names;
    while (const char* name = directory.next())
        names.insert(name);
    return names;
}

TEST(DirectoryEntries, ListsEveryEntryButDotAndDotDot) {
    testsupport::TemporaryDirectory dir;
    testsupport::writeFile(dir.file("a"), "", 0644);
    testsupport::writeFile(dir.file(".hidden"), "", 0644);
    ::mkdir(dir.file("sub").c_str(), 0755);
    os::DirEnum directory(dir.path().c_str());
    EXPECT_EQ(listNames(directory), (std::set<std::string>{"a", ".hidden", "sub"}));
    EXPECT_EQ(directory.next(), nullptr);
}

TEST(DirectoryEntries, PathJoinsDirectoryAndEntryWithOneSlash) {
    testsupport::TemporaryDirectory dir;
    testsupport::writeFile(dir.file("entry"), "", 0644);
    for (const std::string& given : {dir.path(), dir.path() + "/"}) {
        os::DirEnum directory(given.c_str());
        ASSERT_STREQ(directory.next(), "entry");
        EXPECT_EQ(std::string(directory.path()), dir.file("entry"));
    }
}

TEST(DirectoryEntries, ReopeningStartsOverOnTheNewDirectory) {
    testsupport::TemporaryDirectory first;
    testsupport::TemporaryDirectory second;
    testsupport::writeFile(first.file("one"), "", 0644);
    testsupport::writeFile(second.file("two"), "", 0644);
    os::DirEnum directory(first.path().c_str());
    directory.open(second.path().c_str());
    ASSERT_STREQ(directory.next(), "two");
    EXPECT_EQ(std::string(directory.path()), second.file("two"));
}

TEST(DirectoryEntries, MissingDirectoryRaisesWithPath) {
    testsupport::TemporaryDirectory dir;
    std::string missing = dir.file("missing");
    try {
        os::DirEnum directory(missing.c_str());
        FAIL() << "no exception";
    } catch (const plat::SystemException& e) {
        EXPECT_EQ(e.error(), ENOENT);
        EXPECT_EQ(std::string(e.message()).rfind("opendir(" + missing + "): ", 0), 0u)
            << e.message();
    }
}

TEST(DirectoryEntries, EmptyPathIsAConsistencyFailure) {
    os::DirEnum directory;
    EXPECT_DEATH(directory.open(""), "Assertion 'dirLen > 0' failed");
}

TEST(DirectoryEntries, CloseReleasesTheDirectory) {
    testsupport::TemporaryDirectory dir;
    int before = ostest::countOpenDescriptorsFrom(3);
    os::DirEnum directory(dir.path().c_str());
    directory.close();
    EXPECT_EQ(ostest::countOpenDescriptorsFrom(3), before);
    EXPECT_EQ(directory.next(), nullptr);
}

} // namespace
