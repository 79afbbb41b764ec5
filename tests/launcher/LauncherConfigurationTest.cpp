// The installed launcher's start-up as users and administrators see it: the directories it
// creates, profiles, configuration files and their priorities, logging to standard error and to
// a file, and the start-up failures it reports.
#include "support/ChildProcess.h"
#include "support/Sandbox.h"

#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace launchertest;
using testsupport::copyExecutable;
using testsupport::entriesOf;
using testsupport::exists;
using testsupport::modeOf;
using testsupport::readFile;
using testsupport::setModified;
using testsupport::TemporaryDirectory;
using testsupport::writeFile;

namespace {

const std::string installedLauncher = QV_INSTALLED_LAUNCHER;

constexpr uid_t NobodyId = 65534;

// "<15> 2024-01-31T12:00:00.000Z host qvserverLauncher[123]: LaunchProcess: Launching ..."
const std::regex
    FullLaunchingLine(R"(<15> \d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z \S+ qvserverLauncher\[\d+\]: )"
                      R"(LaunchProcess: Launching \S+/Quorvel\.tmp --args)");

// An ordinary user: the launcher and HOME belong to nobody, and the launcher runs as nobody.
class LauncherAsUserTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(home);
        std::filesystem::create_directories(bin);
        copyExecutable(installedLauncher, launcher);
        for (const std::string& path : {home, bin, launcher})
            ASSERT_EQ(chown(path.c_str(), NobodyId, NobodyId), 0);
    }

    // In the sandbox where one can be had: settings an administrator left in /etc/kbx on this
    // machine must not change the outcome.
    ExitResult runLauncher(std::vector<std::string> environment,
                           std::vector<std::string> arguments) {
        std::vector<std::string> command{"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup",
                                         "--clear-groups", "/usr/bin/env"};
        for (const char* name : {"KBX_PROFILE", "KBX_CONFIG_PROFILE", "KBX_PROFILE_DIR"})
            command.insert(command.end(), {"-u", name});
        command.insert(command.end(), {"DISPLAY=", "HOME=" + home});
        command.insert(command.end(), environment.begin(), environment.end());
        command.push_back(launcher);
        command.insert(command.end(), arguments.begin(), arguments.end());
        return runToEnd(Sandbox::available() ? sandbox.wrap(command) : command);
    }

    // Files written by the test as root become the user's.
    void giveHomeToNobody() {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(home))
            ASSERT_EQ(lchown(entry.path().c_str(), NobodyId, NobodyId), 0);
    }

    Sandbox sandbox;
    TemporaryDirectory directory;
    const std::string home = directory.file("home");
    const std::string bin = directory.file("bin");
    const std::string launcher = bin + "/qvserverLauncher";
    const std::string userDir = home + "/.kbx";
    const std::string common = userDir + "/config.d/common";
};

TEST_F(LauncherAsUserTest, CreatesPrivateUserOrProfileDirectoriesThatThePayloadSees) {
    struct {
        std::vector<std::string> environment;
        std::string profileDir;
    } cases[] = {{{}, userDir}, {{"KBX_PROFILE=work/x"}, userDir + "/profiles/work-x"}};
    for (const auto& item : cases) {
        SCOPED_TRACE(item.profileDir);
        ExitResult result = runLauncher(item.environment, {"--env=KBX_PROFILE_DIR"});

        EXPECT_EQ(result.status, 0) << result.errorOutput;
        EXPECT_EQ(result.output, "KBX_PROFILE_DIR=" + item.profileDir + "\n");
        EXPECT_EQ(modeOf(item.profileDir), 0700);
        EXPECT_EQ(modeOf(item.profileDir + "/config.d"), 0700);
    }
}

TEST_F(LauncherAsUserTest, FileLoggingStartsWithTheHeaderKeepsThePreviousFileAndDropsOldOnes) {
    writeFile(common, "Log=*:file:100\n");
    std::string old = userDir + "/qvserverLauncher.log.20000101000000";
    std::string recent = userDir + "/qvserverLauncher.log.20990101000000";
    writeFile(old, "old\n");
    writeFile(recent, "recent\n");
    setModified(old, 946684800);
    giveHomeToNobody();

    ExitResult first = runLauncher({}, {"--args"});

    ASSERT_EQ(first.status, 0) << first.errorOutput;
    std::string log = readFile(userDir + "/qvserverLauncher.log");
    EXPECT_EQ(log.rfind("qvserverLauncher 0.1 x64 (", 0), 0u) << log;
    EXPECT_TRUE(std::regex_search(log, FullLaunchingLine)) << log;
    EXPECT_FALSE(exists(old));
    EXPECT_TRUE(exists(recent));

    ExitResult second = runLauncher({}, {"--args"});

    ASSERT_EQ(second.status, 0) << second.errorOutput;
    int kept = 0;
    for (const std::string& name : entriesOf(userDir)) {
        if (std::regex_match(name, std::regex(R"(qvserverLauncher\.log\.\d{14})")) &&
            readFile(userDir + "/" + name) == log)
            ++kept;
    }
    EXPECT_EQ(kept, 1) << "the first run's log under its time-stamped name";
}

TEST_F(LauncherAsUserTest, BadLinesInConfigurationFilesDoNotStopTheLauncher) {
    writeFile(common, "NoSuchParameter=1\n"
                      "LogKeepDays=many\n"
                      "Locale=\xff\xfe\n"
                      "CompactLog\r\n"
                      "LogDir=$KBX_PROFILE_DIR\\\\sub\\ndir\\q\n"
                      "Log=*:stderr:100\r\n");
    giveHomeToNobody();

    ExitResult result = runLauncher({}, {"--args"});

    EXPECT_EQ(result.status, 0) << result.errorOutput;
    EXPECT_TRUE(result.reported("FileConfig: Ignoring line 3 of " + common +
                                ": Bad UTF-8 string for Locale"))
        << result.errorOutput;
    EXPECT_TRUE(std::regex_search(
        result.errorOutput,
        std::regex(R"((^|\n)\d\d:\d\d:\d\d\.\d{3} LaunchProcess: Launching \S+ --args\n)")))
        << result.errorOutput;
}

TEST_F(LauncherAsUserTest, AConfigurationFileThatCannotBeReadStopsStartUp) {
    writeFile(common, "Log=*:stderr:100\n");
    giveHomeToNobody();
    chmod(common.c_str(), 0);

    ExitResult result = runLauncher({}, {"--args"});

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "");
    EXPECT_TRUE(result.reported("TXMsgBox: Error reading " + common + ": fileOpenFd(" + common +
                                "): Permission denied (13)"))
        << result.errorOutput;
}

TEST_F(LauncherAsUserTest, AnUnusableHomeIsReportedEvenBeforeLoggingIsSetUp) {
    ASSERT_EQ(chown(home.c_str(), 0, 0), 0);

    ExitResult result = runLauncher({}, {"--args"});

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "");
    EXPECT_TRUE(result.reported("TXMsgBox: mkDir(" + userDir + "): Permission denied (13)"))
        << result.errorOutput;
    EXPECT_FALSE(exists(bin + "/Quorvel.tmp"));
}

// An administrator's settings in /etc/kbx, seen by root's launcher in a sandbox.
class LauncherAsRootTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Sandbox::available())
            GTEST_SKIP() << "no mount namespace here to keep /etc and root's home untouched";
        copyExecutable(installedLauncher, launcher);
    }

    ExitResult runLauncher() {
        return runToEnd(sandbox.wrap({"/usr/bin/env", "DISPLAY=", launcher, "--args"}));
    }

    Sandbox sandbox;
    TemporaryDirectory directory;
    const std::string launcher = directory.file("qvserverLauncher");
};

TEST_F(LauncherAsRootTest, UsersPreferenceBeatsTheSystemsAndPolicyBeatsBoth) {
    writeFile(sandbox.rootHome() + "/.kbx/config.d/common", "Log=*:stderr:0\n");
    writeFile(sandbox.etcFile("kbx/config.d/common"), "Log=*:stderr:100\n");

    ExitResult preferred = runLauncher();

    EXPECT_EQ(preferred.status, 0);
    EXPECT_EQ(preferred.errorOutput.find("Launching"), std::string::npos) << preferred.errorOutput;

    writeFile(sandbox.etcFile("kbx/policy.d/common"), "Log=*:stderr:100\n");

    ExitResult ruled = runLauncher();

    EXPECT_EQ(ruled.status, 0);
    EXPECT_TRUE(std::regex_search(ruled.errorOutput, FullLaunchingLine)) << ruled.errorOutput;
}

TEST_F(LauncherAsRootTest, RootLogsToVarLog) {
    writeFile(sandbox.rootHome() + "/.kbx/config.d/common", "Log=*:file:100\n");

    ExitResult result = runLauncher();

    EXPECT_EQ(result.status, 0) << result.errorOutput;
    std::string log = readFile(sandbox.varLog() + "/qvserverLauncher.log");
    EXPECT_TRUE(std::regex_search(log, FullLaunchingLine)) << log;
    EXPECT_EQ(modeOf(sandbox.rootHome() + "/.kbx"), 0700);
}

} // namespace
