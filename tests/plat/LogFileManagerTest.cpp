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
            parameter.unset(plat::PreferencePriority, true);
            parameter.setParam("", plat::DefaultPriority);
        }
        plat::LogDestFile::logFile().setPath(nullptr);
    }

    static plat::Configuration& config() { return plat::Configuration::global(); }

    TemporaryDirectory directory;
    EnvironmentChange logTestDir{"QV_LOG_TEST_DIR", directory.path()};
    plat::LogSrc source{"FileManagerTest"};
};

TEST_F(LogFileManagerTest, PathIsLogDirAndLogFileWithVariablesExpanded) {
    config().set("LogDir", "$QV_LOG_TEST_DIR/logs/", plat::PreferencePriority);
    config().set("LogFile", "first.log", plat::PreferencePriority);
    LogCapture capture("FileManagerTest:file:100");
    source.status("to the first file");
    config().set("LogFile", "second.log", plat::PreferencePriority);
    source.status("to the second file");

    EXPECT_NE(
        readFile(directory.file("logs/first.log")).find("FileManagerTest: to the first file\n"),
        std::string::npos);
    EXPECT_NE(
        readFile(directory.file("logs/second.log")).find("FileManagerTest: to the second file\n"),
        std::string::npos);
    EXPECT_EQ(readFile(directory.file("logs/first.log")).find("second"), std::string::npos);
}

TEST_F(LogFileManagerTest, SettingTheSamePathAgainKeepsTheFileOpen) {
    config().set("LogDir", directory.path().c_str(), plat::DefaultPriority);
    config().set("LogFile", "same.log", plat::DefaultPriority);
    LogCapture capture("FileManagerTest:file:100");
    source.status("one");
    config().set("LogFile", "same.log", plat::PreferencePriority);
    source.status("two");

    EXPECT_EQ(directory.entries(), std::vector<std::string>{"same.log"});
}

TEST_F(LogFileManagerTest, UnopenablePathRevertsToTheDefaultPath) {
    directory.write("blocker", "a file, not a directory\n");
    config().set("LogDir", directory.path().c_str(), plat::DefaultPriority);
    config().set("LogFile", "default.log", plat::DefaultPriority);
    config().set("LogDir", directory.file("blocker").c_str(), plat::PreferencePriority);
    LogCapture capture("FileManagerTest:file:100");
    source.status("reaches the default file");

    std::string errors = capture.text();
    EXPECT_NE(errors.find("Error opening log file: "), std::string::npos) << errors;
    EXPECT_NE(errors.find("Reverting to default log file " + directory.file("default.log") + "\n"),
              std::string::npos)
        << errors;
    EXPECT_NE(readFile(directory.file("default.log")).find("reaches the default file"),
              std::string::npos);
}

TEST_F(LogFileManagerTest, FailingDefaultPathIsReportedToo) {
    directory.write("blocker", "a file, not a directory\n");
    config().set("LogDir", directory.file("blocker/default").c_str(), plat::DefaultPriority);
    config().set("LogFile", "default.log", plat::DefaultPriority);
    config().set("LogFile", "configured.log", plat::PreferencePriority);
    LogCapture capture("FileManagerTest:file:100");
    source.status("goes nowhere");

    std::string errors = capture.text();
    EXPECT_NE(errors.find("Error opening log file: "), std::string::npos) << errors;
    EXPECT_NE(errors.find("Error opening default log file: "), std::string::npos) << errors;
}

TEST_F(LogFileManagerTest, UnknownVariableIsAnOpeningError) {
    config().set("LogDir", "$QV_LOG_TEST_NO_SUCH_VARIABLE", plat::PreferencePriority);
    config().set("LogFile", "x.log", plat::PreferencePriority);
    LogCapture capture("FileManagerTest:file:100");
    source.status("goes nowhere");

    EXPECT_NE(capture.text().find(
                  "Error opening log file: unknown environment variable: QV_LOG_TEST_NO_SUCH"),
              std::string::npos)
        << capture.text();
}

} // namespace
