// Distribution detection from fixture directories standing in for "/etc".
#include <os/unix/distribution.h>

#include <support/TemporaryDirectory.h>

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

namespace {

class Distribution : public ::testing::Test {
protected:
    void write(const char* name, const std::string& content) { etc.write(name, content); }

    // The description, or "<null>" when there is none.
    std::string detected() {
        plat::DString description = os::getDistribution(etc.path().c_str());
        return description.isNull() ? "<null>" : description.get();
    }

    bool debianBased() { return os::isDebianBased(etc.path().c_str()); }

    testsupport::TemporaryDirectory etc;
};

TEST_F(Distribution, OsReleaseNameAndVersion) {
    write("os-release",
          "PRETTY_NAME=\"Ubuntu 22.04.4 LTS\"\nNAME=\"Ubuntu\"\nVERSION_ID=\"22.04\"\n"
          "ID=ubuntu\n");
    EXPECT_EQ(detected(), "Ubuntu 22.04");
}

TEST_F(Distribution, DoubleQuotesDropBackslashesOnlyBeforeSpecialCharacters) {
    write("os-release", "NAME=\"A \\\"B\\\" \\$C \\`D\\` \\\\E \\'F \\x\"\nVERSION_ID=1\n");
    EXPECT_EQ(detected(), "A \"B\" $C `D` \\E 'F \\x 1");
}

TEST_F(Distribution, SingleQuotesKeepBackslashes) {
    write("os-release", "NAME='Linux \\\"X\\\"'\nVERSION_ID='2.0'\n");
    EXPECT_EQ(detected(), "Linux \\\"X\\\" 2.0");
}

TEST_F(Distribution, LastLineForAKeyWins) {
    write("os-release", "NAME=First\nVERSION_ID=1\nNAME=Second\n");
    EXPECT_EQ(detected(), "Second 1");
}

TEST_F(Distribution, UnclosedOrMismatchedQuotesGiveNoValue) {
    write("os-release", "NAME=\"Broken\nVERSION_ID='3\"\n");
    EXPECT_EQ(detected(), "<null>");
}

TEST_F(Distribution, WindowsLineEndsAreNotPartOfTheValue) {
    write("os-release", "NAME=\"Ubuntu\"\r\nVERSION_ID=\"22.04\"\r\n");
    EXPECT_EQ(detected(), "Ubuntu 22.04");
}

TEST_F(Distribution, OsReleaseWithoutVersionFallsBackToLsbRelease) {
    write("os-release", "NAME=\"Rolling Linux\"\nID=rolling\n");
    write("lsb-release", "DISTRIB_ID=Ubuntu\nDISTRIB_RELEASE=20.04\nDISTRIB_CODENAME=focal\n");
    EXPECT_EQ(detected(), "Ubuntu 20.04");
}

TEST_F(Distribution, CentOsReleaseFileStopsAtTheVersion) {
    write("centos-release", "CentOS Linux release 7.9.2009 (Core)\nsecond line\n");
    EXPECT_EQ(detected(), "CentOS Linux 7.9.2009");
}

TEST_F(Distribution, WordAfterReleaseIsTheLast) {
    write("redhat-release", "Red Hat Enterprise Linux Server release Maipo 7.9\n");
    EXPECT_EQ(detected(), "Red Hat Enterprise Linux Server Maipo");
}

TEST_F(Distribution, ParenthesisEndsTheScan) {
    write("SuSE-release", "openSUSE Leap (x86_64) 15\n");
    EXPECT_EQ(detected(), "openSUSE Leap");
}

TEST_F(Distribution, DebianVersionFileGivesCapitalisedNameAndLine) {
    write("debian_version", "12.5\n");
    EXPECT_EQ(detected(), "Debian 12.5");
}

TEST_F(Distribution, VersionFileWithNameWordsIsScannedLikeAReleaseFile) {
    write("slackware-version", "Slackware 15.0\n");
    EXPECT_EQ(detected(), "Slackware 15.0");
}

TEST_F(Distribution, ReleaseFileWithOnlyANumberDescribesNothing) {
    write("redhat-release", "7.9\n");
    EXPECT_EQ(detected(), "<null>");
}

TEST_F(Distribution, FileNamesMustStartWithAKnownNameAndSeparateTheMark) {
    write("centosrelease", "CentOS Linux release 7\n");
    write("release-centos", "CentOS Linux release 7\n");
    write("foo-release", "Foo Linux release 1\n");
    write("Debian_version", "12.5\n");
    EXPECT_EQ(detected(), "<null>");
}

TEST_F(Distribution, UnreadableReleaseFileIsSkipped) {
    ::mkdir(etc.file("fedora-release").c_str(), 0755);
    write("gentoo-release", "Gentoo Base System release 2.14\n");
    EXPECT_EQ(detected(), "Gentoo Base System 2.14");
}

TEST_F(Distribution, NothingKnownGivesNull) {
    EXPECT_EQ(detected(), "<null>");
    EXPECT_TRUE(os::getDistribution(etc.file("missing").c_str()).isNull());
}

TEST_F(Distribution, DebianBasedByIdOrIdLikeInAnyCase) {
    write("os-release", "ID=debian\n");
    EXPECT_TRUE(debianBased());
    write("os-release", "ID=ubuntu\nID_LIKE=\"Ubuntu DEBIAN\"\n");
    EXPECT_TRUE(debianBased());
    write("os-release", "ID=fedora\nNAME=debian\n");
    EXPECT_FALSE(debianBased());
}

TEST_F(Distribution, NotDebianBasedWithoutOsRelease) {
    write("debian_version", "12.5\n");
    EXPECT_FALSE(debianBased());
}

} // namespace
