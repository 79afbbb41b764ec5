// Product initialisation of an ordinary user, each case in a fresh process: profile directories
// and their modes, the application name, logging defaults, and the configuration files with their
// order and priorities. The launcher's end-to-end tests show root's case and the failures.
#include "support/InitProbe.h"

#include <product/directories.h>

#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace producttest;
using testsupport::copyExecutable;
using testsupport::modeOf;
using testsupport::TemporaryDirectory;
using testsupport::writeFile;

namespace {

// A user's home owned by nobody, as the probe runs as nobody: root would be given its own home.
class InitTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(home.file(".placeholder"), "");
        giveToNobody(home.path());
    }

    ProbeResult runAsUser(std::vector<std::string> environment,
                          std::vector<std::string> arguments = {"--app=App"},
                          std::string program = {}) {
        environment.push_back("HOME=" + home.path());
        return runProbe({.program = std::move(program),
                         .arguments = std::move(arguments),
                         .environment = std::move(environment)});
    }

    TemporaryDirectory scratch;
    TemporaryDirectory home;
    const std::string userDir = home.file(".kbx");
};

TEST(ProfileDirName, ControlBytesAndSlashesBecomeDashes) {
    EXPECT_STREQ(product::profileDirName("work/x").c_str(), "work-x");
    EXPECT_STREQ(product::profileDirName("a\x01z\x1f\x7f.b c\xc3\xa4").c_str(),
                 "a-z--.b c\xc3\xa4");
}

TEST_F(InitTest, KbxProfileChoosesACleanedPrivateDirectoryBelowProfiles) {
    // A user directory that exists already, open to others, is made private as well.
    writeFile(userDir + "/.keep", "");
    chmod(userDir.c_str(), 0755);
    giveToNobody(home.path());

    ProbeResult result = runAsUser({"KBX_PROFILE=work/x"});

    ASSERT_EQ(result.status, 0) << result["error"] << result.errorOutput;
    std::string profileDir = userDir + "/profiles/work-x";
    EXPECT_EQ(result["appConfigFile"], profileDir + "/config.d/App");
    EXPECT_EQ(modeOf(userDir), 0700);
    EXPECT_EQ(modeOf(userDir + "/profiles"), 0700);
    // An ordinary user's logs go to the profile directory.
    EXPECT_EQ(result["LogDir"], "0:$KBX_PROFILE_DIR");
    EXPECT_EQ(result["LogFile"], "0:App.log");
    EXPECT_EQ(result["Log"], "0:*:stderr:10");
}

TEST_F(InitTest, AnEmptyProfileIsTheUserDirectoryAndTheConfigurationProfileIsSeparate) {
    ProbeResult result = runAsUser({"KBX_PROFILE=", "KBX_CONFIG_PROFILE=shared"});

    ASSERT_EQ(result.status, 0) << result["error"] << result.errorOutput;
    EXPECT_EQ(result["profileDir"], userDir);
    EXPECT_EQ(result["KBX_PROFILE_DIR"], userDir);
    EXPECT_EQ(result["configProfileDir"], userDir + "/profiles/shared");
    EXPECT_EQ(result["configDir"], userDir + "/profiles/shared/config.d");
    EXPECT_EQ(modeOf(userDir + "/profiles/shared/config.d"), 0700);
    EXPECT_EQ(modeOf(userDir + "/config.d"), -1);
}

TEST_F(InitTest, TheApplicationNameComesFromTheExecutableWithoutItsExeSuffix) {
    std::string tool = scratch.file("bin/Tool.EXE");
    copyExecutable(probePath(), tool);

    ProbeResult result = runAsUser({}, {}, tool);

    ASSERT_EQ(result.status, 0) << result["error"] << result.errorOutput;
    EXPECT_EQ(result["app"], "Tool");
    EXPECT_EQ(result["appConfigFile"], userDir + "/config.d/Tool");
    EXPECT_EQ(result["LogFile"], "0:Tool.log");
    EXPECT_EQ(result["versionLine"].rfind("Tool 0.1 x64 (", 0), 0u) << result["versionLine"];
}

TEST_F(InitTest, ConfigurationFilesAreReadInTheirOrderAndPolicyWins) {
    std::string program = scratch.file("bin/app");
    copyExecutable(probePath(), program);
    std::string beside = scratch.file("bin/kbx");
    writeFile(beside + "/config.d/common", "LogKeepDays=1\n");
    writeFile(beside + "/config.d/common.custom", "LogKeepDays=2\n");
    writeFile(userDir + "/config.d/App", "LogKeepDays=3\n");
    writeFile(beside + "/policy.d/common", "LogKeepDays=40\n");
    giveToNobody(home.path());

    ProbeResult result = runAsUser(
        {}, {"--app=App", "--log=FileConfig:stderr:110,ConfigParameter:stderr:100"}, program);

    ASSERT_EQ(result.status, 0) << result["error"] << result.errorOutput;
    std::vector<std::string> expected = {
        beside + "/config.d/common",       beside + "/config.d/common.custom",
        beside + "/config.d/App",          "/etc/kbx/config.d/common",
        "/etc/kbx/config.d/common.custom", "/etc/kbx/config.d/App",
        userDir + "/config.d/common",      userDir + "/config.d/App",
        beside + "/policy.d/common",       beside + "/policy.d/App",
        "/etc/kbx/policy.d/common",        "/etc/kbx/policy.d/App"};
    std::size_t at = 0;
    for (const std::string& path : expected) {
        at = result.errorOutput.find(" config in " + path + "\n", at);
        EXPECT_NE(at, std::string::npos) << path << " missing or out of order:\n"
                                         << result.errorOutput;
    }
    EXPECT_EQ(result["LogKeepDays"], "0:30,10:3,40:40");
    EXPECT_EQ(result["storeFiles40"], beside + "/policy.d/common," + beside +
                                          "/policy.d/App,/etc/kbx/policy.d/common,"
                                          "/etc/kbx/policy.d/App");
}

} // namespace
