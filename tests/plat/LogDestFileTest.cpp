// The file and standard-error log destinations: line formats, colour on terminals, and the log
// file's life cycle (clean-up, size limit, reopening with the header). The launcher's end-to-end
// tests show the full line, the header and the rotation.
#include <plat/Configuration.h>
#include <plat/Log.h>
#include <plat/LogDestFile.h>

#include "support/PseudoTerminal.h"
#include "support/ScopedTimeZone.h"
#include <support/EnvironmentChange.h>
#include <support/LogCapture.h>
#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>

#include <gtest/gtest.h>

#include <ctime>
#include <regex>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using testsupport::EnvironmentChange;
using testsupport::exists;
using testsupport::LogCapture;
using testsupport::readFile;
using testsupport::setModified;
using testsupport::TemporaryDirectory;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Whether a time field shows the minute of one of two moments: the write may straddle a minute.
bool showsMinuteOf(const std::string& field, std::time_t before, std::time_t after, bool local,
                   const char* format) {
    for (std::time_t when : {before, after}) {
        std::tm broken;
        local ? localtime_r(&when, &broken) : gmtime_r(&when, &broken);
        char text[64];
        std::strftime(text, sizeof text, format, &broken);
        if (field == text)
            return true;
    }
    return false;
}

class LogDestFileTest : public ::testing::Test {
protected:
    void TearDown() override { plat::setLogHeader(nullptr); }

    std::string logPath() const { return directory.file("app.log"); }
    std::string logText() const { return readFile(logPath()); }

    TemporaryDirectory directory;
};

using LogDestFileFormat = LogDestFileTest;

TEST_F(LogDestFileFormat, CompactLineHasLocalTimeSourceAndMessage) {
    plattest::ScopedTimeZone zone("XYZ-5");
    plat::Configuration::global().set("CompactLog", "1", plat::PreferencePriority);
    plat::LogDestFile dest(nullptr, logPath().c_str());
    std::time_t before = std::time(nullptr);
    dest.write(10, "FileTest", "compact");
    std::time_t after = std::time(nullptr);
    plat::Configuration::global().getParam("CompactLog").unset(plat::PreferencePriority, true);

    std::string text = logText();
    std::smatch fields;
    ASSERT_TRUE(std::regex_match(text, fields,
                                 std::regex("(\\d\\d:\\d\\d):\\d\\d\\.\\d{3} FileTest: compact\n")))
        << text;
    EXPECT_TRUE(showsMinuteOf(fields[1], before, after, true, "%H:%M")) << text;
}

using LogDestFileColour = LogDestFileTest;

TEST_F(LogDestFileColour, OnlyColourTerminalsGetCodesByLevelAndAResetAfterEachLine) {
    plattest::PseudoTerminal colour;
    ASSERT_TRUE(colour.usable());
    EnvironmentChange term("TERM", "xterm-256color");
    plat::LogDestFile dest(nullptr, plat::LogDestFile::Descriptor{colour.terminal()});
    plat::LogDestFile file(nullptr, logPath().c_str());
    for (int level : {0, 8, 30, 100}) {
        dest.write(level, "FileTest", "coloured");
        file.write(level, "FileTest", "plain");
    }

    std::string text = colour.received();
    for (const char* start : {"\033[31;1m<11> ", "\033[31m<13> ", "\033[36m<14> ", "\033[0m<15> "})
        EXPECT_NE(text.find(start), std::string::npos) << text;
    EXPECT_NE(text.find("FileTest: coloured\r\n\033[0m"), std::string::npos) << text;
    EXPECT_EQ(logText().find('\033'), std::string::npos) << "a file is no terminal";
}

using LogDestFileLifeCycle = LogDestFileTest;

TEST_F(LogDestFileLifeCycle, NothingIsCreatedBeforeTheFirstMessageAndMissingDirectoriesAreMade) {
    plat::LogDestFile dest(nullptr, directory.file("one/two/app.log").c_str());
    EXPECT_FALSE(exists(directory.file("one")));
    dest.write(10, "FileTest", "first");
    EXPECT_NE(readFile(directory.file("one/two/app.log")).find("FileTest: first\n"),
              std::string::npos);
}

TEST_F(LogDestFileLifeCycle, OpeningRemovesOnlyRotatedFilesOlderThanLogKeepDays) {
    std::time_t now = std::time(nullptr);
    for (const char* name :
         {"app.log.old", "app.log(2).old", "other.log.old", "app.logbook", "app.log(x).old"})
        setModified(directory.write(name, "x\n"), now - 40 * 86400);
    setModified(directory.write("app.log.recent", "x\n"), now - 86400);
    plat::LogDestFile dest(nullptr, logPath().c_str());

    dest.write(10, "FileTest", "opened");

    std::vector<std::string> expected{"app.log", "app.log(x).old", "app.log.recent", "app.logbook",
                                      "other.log.old"};
    EXPECT_EQ(directory.entries(), expected);
}

TEST_F(LogDestFileLifeCycle, LineCrossingTheSizeLimitIsWrittenInFullAndIsTheLast) {
    plat::LogDestFile dest(nullptr, logPath().c_str());
    int notified = 0;
    dest.setFullNotifier([&notified](plat::LogDestFile&) { ++notified; });
    dest.setSizeLimit(1000);
    std::string payload(60, 'p');
    for (int i = 0; i < 30; ++i)
        dest.write(10, "FileTest", (std::to_string(i) + " " + payload).c_str());

    std::string text = logText();
    std::vector<std::string> lines = linesOf(text);
    ASSERT_GE(text.size(), 1000u);
    EXPECT_LT(text.size() - lines.back().size() - 1, 1000u);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_NE(lines.back().find(payload), std::string::npos);
    EXPECT_EQ(notified, 1);
    EXPECT_TRUE(dest.isFull() && !dest.isActive());

    dest.setSizeLimit(1000);
    dest.write(10, "FileTest", "after the limit was set again");
    EXPECT_EQ(directory.entries().size(), 2u);
    EXPECT_NE(logText().find("after the limit"), std::string::npos);
}

TEST_F(LogDestFileLifeCycle, CheckReopensAfterAnExternalRotation) {
    plat::setLogHeader("header");
    plat::LogDestFile dest(nullptr, logPath().c_str());
    dest.write(10, "FileTest", "before");
    dest.check();
    dest.write(10, "FileTest", "still the same file");
    ASSERT_EQ(rename(logPath().c_str(), directory.file("moved.log").c_str()), 0);

    dest.check();
    dest.write(10, "FileTest", "after");

    std::string moved = readFile(directory.file("moved.log"));
    std::string reopened = logText();
    EXPECT_NE(moved.find("still the same file"), std::string::npos);
    EXPECT_EQ(moved.find("after"), std::string::npos);
    EXPECT_EQ(reopened.rfind("header\n", 0), 0u) << reopened;
    EXPECT_NE(reopened.find("FileTest: after\n"), std::string::npos);
}

TEST_F(LogDestFileLifeCycle, OpenFailureIsReportedOnceAndMessagesAreDropped) {
    directory.write("blocker", "a file, not a directory\n");
    plat::LogDestFile dest(nullptr, directory.file("blocker/sub/app.log").c_str());
    LogCapture capture("");

    for (int i = 0; i < 3; ++i)
        dest.write(10, "FileTest", "dropped");

    EXPECT_EQ(capture.count("Error opening log file: "), 1) << capture.text();
    EXPECT_NE(capture.text().find("Not a directory"), std::string::npos) << capture.text();
    EXPECT_EQ(capture.text().find("dropped"), std::string::npos);
}

} // namespace
