// Distribution detection from fixture directories standing in for "/etc".
#include <os/unix/distribution.h>

#include <support/TemporaryDirectory.h>

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

using Files = std::vector<std::pair<const char*, const char*>>;

// The description for a fixture directory, or "<null>" when there is none.
std::string detectedIn(const testsupport::TemporaryDirectory& etc, const Files& files = {}) {
    for (const auto& [name, content] : files)
        etc.write(name, content);
    plat::DString description = os::getDistribution(etc.path().c_str());
    return description.isNull() ? "<null>" : description.get();
}

struct DetectionCase {
    Files files;
    const char* description;
};

const DetectionCase DetectionCases[] = {
    // double quotes drop backslashes only before special characters
    {{{"os-release", "NAME=\"A \\\"B\\\" \\$C \\`D\\` \\\\E \\'F \\x\"\nVERSION_ID=1\n"}},
     "A \"B\" $C `D` \\E 'F \\x 1"},
    // single quotes keep backslashes
    {{{"os-release", "NAME='Linux \\\"X\\\"'\nVERSION_ID='2.0'\n"}}, "Linux \\\"X\\\" 2.0"},
    // the last line for a key wins
    {{{"os-release", "NAME=First\nVERSION_ID=1\nNAME=Second\n"}}, "Second 1"},
    // unclosed or mismatched quotes give no value
    {{{"os-release", "NAME=\"Broken\nVERSION_ID='3\"\n"}}, "<null>"},
    // os-release name and version; Windows line ends are not part of the value
    {{{"os-release",
       "PRETTY_NAME=\"Ubuntu 22.04.4 LTS\"\r\nNAME=\"Ubuntu\"\r\nVERSION_ID=\"22.04\"\r\n"}},
     "Ubuntu 22.04"},
    // os-release without a version falls back to lsb-release
    {{{"os-release", "NAME=\"Rolling Linux\"\nID=rolling\n"},
      {"lsb-release", "DISTRIB_ID=Ubuntu\nDISTRIB_RELEASE=20.04\nDISTRIB_CODENAME=focal\n"}},
     "Ubuntu 20.04"},
    // a release file stops at the version
    {{{"centos-release", "CentOS Linux release 7.9.2009 (Core)\nsecond line\n"}},
     "CentOS Linux 7.9.2009"},
    // the word after 'release' is the last
    {{{"redhat-release", "Red Hat Enterprise Linux Server release Maipo 7.9\n"}},
     "Red Hat Enterprise Linux Server Maipo"},
    // a parenthesis ends the scan
    {{{"SuSE-release", "openSUSE Leap (x86_64) 15\n"}}, "openSUSE Leap"},
    // debian_version gives the capitalised name and the line
    {{{"debian_version", "12.5\n"}}, "Debian 12.5"},
    // a version file with name words is scanned like a release file
    {{{"slackware-version", "Slackware 15.0\n"}}, "Slackware 15.0"},
    // a release file with only a number describes nothing
    {{{"redhat-release", "7.9\n"}}, "<null>"},
    // file names must start with a known name and separate the mark
    {{{"centosrelease", "CentOS Linux release 7\n"},
      {"release-centos", "CentOS Linux release 7\n"},
      {"foo-release", "Foo Linux release 1\n"},
      {"Debian_version", "12.5\n"}},
     "<null>"},
};

TEST(Distribution, DescriptionComesFromTheFirstFileThatNamesOne) {
    for (const DetectionCase& item : DetectionCases) {
        SCOPED_TRACE(item.files[0].second);
        testsupport::TemporaryDirectory etc;
        EXPECT_EQ(detectedIn(etc, item.files), item.description);
    }
}

TEST(Distribution, UnreadableReleaseFileIsSkippedAndMissingDirectoryGivesNull) {
    testsupport::TemporaryDirectory etc;
    ::mkdir(etc.file("fedora-release").c_str(), 0755);
    EXPECT_EQ(detectedIn(etc, {{"gentoo-release", "Gentoo Base System release 2.14\n"}}),
              "Gentoo Base System 2.14");
    EXPECT_TRUE(os::getDistribution(etc.file("missing").c_str()).isNull());
}

TEST(Distribution, DebianBasedByIdOrIdLikeInAnyCaseAndOnlyFromOsRelease) {
    testsupport::TemporaryDirectory etc;
    auto debianBased = [&](const char* name, const char* content) {
        etc.write(name, content);
        return os::isDebianBased(etc.path().c_str());
    };
    EXPECT_FALSE(debianBased("debian_version", "12.5\n"));
    EXPECT_TRUE(debianBased("os-release", "ID=debian\n"));
    EXPECT_TRUE(debianBased("os-release", "ID=ubuntu\nID_LIKE=\"Ubuntu DEBIAN\"\n"));
    EXPECT_FALSE(debianBased("os-release", "ID=fedora\nNAME=debian\n"));
}

} // namespace
