// The "file" log destination following LogDir and LogFile: expansion, changes, and the fall-back
// to the default path when the configured one cannot be opened.
#include <plat/ConfigParameter.h>
#include <plat/Configuration.h>
#include <plat/Log.h>
#include <plat/LogDestFile.h>

#include <support/EnvironmentChange.h>
#include <support/LogCapture.h>
#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testsupport::EnvironmentChange;
using testsupport::LogCapture;
using testsupport::readFile;
using testsupport::TemporaryDirectory;

class LogFileManagerTest : public ::testing::Test {
protected:
    void SetUp() override { plat::startFileLogging(); }

    void TearDown() override {
        for (const char* name : {"LogDir", "LogFile"}) {
            plat::ConfigParameter& parameter = config().getParam(name);
            parameter.unset(plat::PolicyPriority, true);
            parameter.unset(plat::PreferencePriority, true);
            parameter.setParam("", plat::DefaultPriority);
        }
        plat::LogDestFile::logFile().setPath(nullptr);
    }

    static plat::Configuration& config() { return plat::Configuration::global(); }

    static void setPath(const std::string& dir, const char* file, int priority) {
        config().set("LogDir", dir.c_str(), priority);
        config().set("LogFile", file, priority);
    }

    TemporaryDirectory directory;
    EnvironmentChange logTestDir{"QV_LOG_TEST_DIR", directory.path()};
    plat::LogSrc source{"FileManagerTest"};
};

TEST_F(LogFileManagerTest, PathFollowsLogDirAndLogFileWithVariablesExpanded) {
    setPath("$QV_LOG_TEST_DIR/logs/", "first.log", plat::PreferencePriority);
    LogCapture capture("FileManagerTest:file:100");
    source.status("to the first file");
    config().set("LogFile", "second.log", plat::PreferencePriority);
    source.status("to the second file");
    config().set("LogFile", "second.log", plat::PolicyPriority);
    source.status("the same path keeps the file open");

    std::string first = readFile(directory.file("logs/first.log"));
    EXPECT_NE(first.find("FileManagerTest: to the first file\n"), std::string::npos) << first;
    EXPECT_EQ(first.find("second"), std::string::npos) << first;
    EXPECT_NE(readFile(directory.file("logs/second.log")).find("to the second file\n"),
              std::string::npos);
    EXPECT_EQ(testsupport::entriesOf(directory.file("logs")),
              (std::vector<std::string>{"first.log", "second.log"}));
}

TEST_F(LogFileManagerTest, UnopenablePathRevertsToTheDefaultPath) {
    directory.write("blocker", "a file, not a directory\n");
    setPath(directory.path(), "default.log", plat::DefaultPriority);
    config().set("LogDir", directory.file("blocker").c_str(), plat::PreferencePriority);
    LogCapture capture("FileManagerTest:file:100");
    source.status("reaches the default file");

    EXPECT_TRUE(capture.contains("Error opening log file: ")) << capture.text();
    EXPECT_TRUE(
        capture.contains("Reverting to default log file " + directory.file("default.log") + "\n"));
    EXPECT_NE(readFile(directory.file("default.log")).find("reaches the default file"),
              std::string::npos);
}

TEST_F(LogFileManagerTest, FailingDefaultPathIsReportedToo) {
    directory.write("blocker", "a file, not a directory\n");
    setPath(directory.file("blocker/default"), "default.log", plat::DefaultPriority);
    config().set("LogFile", "configured.log", plat::PreferencePriority);
    LogCapture capture("FileManagerTest:file:100");
    source.status("goes nowhere");

    EXPECT_TRUE(capture.contains("Error opening log file: ")) << capture.text();
    EXPECT_TRUE(capture.contains("Error opening default log file: ")) << capture.text();
}

TEST_F(LogFileManagerTest, UnknownVariableIsAnOpeningError) {
    setPath("$QV_LOG_TEST_NO_SUCH_VARIABLE", "x.log", plat::PreferencePriority);
    LogCapture capture("FileManagerTest:file:100");
    source.status("goes nowhere");

    EXPECT_TRUE(capture.contains(
        "Error opening log file: unknown environment variable: QV_LOG_TEST_NO_SUCH_VARIABLE"))
        << capture.text();
}

} // namespace
