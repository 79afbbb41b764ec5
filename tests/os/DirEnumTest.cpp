// Directory enumeration: entries, full paths, failures.
#include "support/osTestSupport.h"

#include <os/unix/DirEnum.h>

#include <plat/Exception.h>

#include <support/TemporaryDirectory.h>
#include <support/raisedBy.h>

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

TEST(DirectoryEntries, PathJoinsDirectoryAndEntryWithOneSlashAndAReopeningListsTheOther) {
    testsupport::TemporaryDirectory first;
    testsupport::TemporaryDirectory second;
    first.write("one", "");
    second.write("two", "");
    second.write(".hidden", "");
    ::mkdir(second.file("sub").c_str(), 0755);
    for (const std::string& given : {first.path(), first.path() + "/"}) {
        os::DirEnum directory(given.c_str());
        ASSERT_STREQ(directory.next(), "one");
        EXPECT_EQ(std::string(directory.path()), first.file("one"));
        directory.open(second.path().c_str());
        EXPECT_EQ(listNames(directory), (std::set<std::string>{"two", ".hidden", "sub"}))
            << "every entry but . and ..";
    }
}

TEST(DirectoryEntries, MissingDirectoryRaisesWithThePath) {
    testsupport::TemporaryDirectory dir;
    std::string missing = dir.file("missing");
    testsupport::Raised raised = testsupport::raisedBy<plat::SystemException>(
        [&] { os::DirEnum directory(missing.c_str()); });
    EXPECT_EQ(raised.error, ENOENT);
    EXPECT_TRUE(raised.startsWith("opendir(" + missing + "): ")) << raised.message;
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
