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

TEST(DirectoryEntries, ListsEveryEntryButDotAndDotDot) {
    testsupport::TemporaryDirectory dir;
    dir.write("a", "");
    dir.write(".hidden", "");
    ::mkdir(dir.file("sub").c_str(), 0755);
    os::DirEnum directory(dir.path().c_str());
    EXPECT_EQ(listNames(directory), (std::set<std::string>{"a", ".hidden", "sub"}));
}

TEST(DirectoryEntries, PathJoinsDirectoryAndEntryWithOneSlashAndFollowsAReopening) {
    testsupport::TemporaryDirectory first;
    testsupport::TemporaryDirectory second;
    first.write("one", "");
    second.write("two", "");
    for (const std::string& given : {first.path(), first.path() + "/"}) {
        os::DirEnum directory(given.c_str());
        ASSERT_STREQ(directory.next(), "one");
        EXPECT_EQ(std::string(directory.path()), first.file("one"));
        directory.open(second.path().c_str());
        ASSERT_STREQ(directory.next(), "two");
        EXPECT_EQ(std::string(directory.path()), second.file("two"));
    }
}

TEST(DirectoryEntries, MissingDirectoryRaisesWithPathAndEmptyPathIsAConsistencyFailure) {
    testsupport::TemporaryDirectory dir;
    std::string missing = dir.file("missing");
    testsupport::Raised raised = testsupport::raisedBy<plat::SystemException>(
        [&] { os::DirEnum directory(missing.c_str()); });
    EXPECT_EQ(raised.error, ENOENT);
    EXPECT_TRUE(raised.startsWith("opendir(" + missing + "): ")) << raised.message;
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
