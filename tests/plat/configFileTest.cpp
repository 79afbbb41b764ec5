// Configuration files: the line rules (white space, escapes, the first "="), the escapes written
// back, and reading a file into parameters: what is skipped, what stops, what is logged.
#include <plat/BoolParameter.h>
#include <plat/Configuration.h>
#include <plat/Exception.h>
#include <plat/IntParameter.h>
#include <plat/StringParameter.h>
#include <plat/configFile.h>
#include <plat/file.h>

#include <support/LogCapture.h>
#include <support/TemporaryDirectory.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using plat::PreferencePriority;

TEST(ConfigLineParsing, TrimsTheLineButKeepsBlanksAroundTheEqualsSign) {
    plat::ConfigLine line = plat::parseConfigLine(" \tName = a=b \r");
    EXPECT_STREQ(line.name.get(), "Name ");
    EXPECT_STREQ(line.value.get(), " a=b");
}

TEST(ConfigLineParsing, ALineWithoutEqualsSignHasNoValue) {
    plat::ConfigLine line = plat::parseConfigLine("Verbose");
    EXPECT_STREQ(line.name.get(), "Verbose");
    EXPECT_TRUE(line.value.isNull());
    EXPECT_TRUE(plat::parseConfigLine("Empty=").value.get() != nullptr);
}

TEST(ConfigLineParsing, DecodesThreeEscapesAndKeepsOtherBackslashPairs) {
    plat::ConfigLine line = plat::parseConfigLine("Text=a\\rb\\nc\\\\d\\te\\\\nf\\");
    EXPECT_STREQ(line.value.get(), "a\rb\nc\\d\\te\\nf\\");
}

TEST(ConfigValueEscaping, WritesWhatTheReaderDecodes) {
    const char* value = "one\r\ntwo\\three\\n four";
    plat::DString escaped = plat::escapeConfigValue(value);
    EXPECT_STREQ(escaped.get(), "one\\r\\ntwo\\\\three\\\\n four");
    std::string line = std::string("Name=") + escaped.c_str();
    EXPECT_STREQ(plat::parseConfigLine(line).value.get(), value);
}

class ConfigFileReading : public ::testing::Test {
protected:
    testsupport::TemporaryDirectory directory;
    plat::Configuration config{"Files"};
    plat::BoolParameter verbose{"Verbose", "Verbose.", false, false, &config};
    plat::IntParameter depth{"Depth", "Depth.", 3, false, &config, 1, 32};
    plat::StringParameter title{"Title", "Title.", "none", false, &config};
};

TEST_F(ConfigFileReading, AppliesEachLineAtThePriorityAndSkipsWhatItCannotUse) {
    std::string file = directory.write("common", "Unknown=1\n"
                                                 "Depth=99\n"
                                                 "Title=\xff\xfe\n"
                                                 "verbose\r\n"
                                                 "\n"
                                                 "  title = x\n"
                                                 "TITLE=Two\\nlines\r\n"
                                                 "Depth=0x10");

    EXPECT_TRUE(plat::readConfigFile("common", file.c_str(), PreferencePriority, config));

    EXPECT_TRUE(verbose.getValue());
    EXPECT_EQ(verbose.getPriority(), PreferencePriority);
    EXPECT_EQ(depth.getValue(), 16);
    EXPECT_STREQ(title.getValueStr().c_str(), "Two\nlines");
    EXPECT_EQ(title.getValues().size(), 2u);
}

TEST_F(ConfigFileReading, BadUtf8IsLoggedWithItsLineAndTheRestStillApplies) {
    std::string file = directory.write("app", "Title=\xc3\n"
                                              "Depth=7\n");
    testsupport::LogCapture log("FileConfig:stderr:10");

    plat::readConfigFile("app", file.c_str(), 40, config);

    EXPECT_EQ(depth.getValue(), 7);
    EXPECT_EQ(depth.getPriority(), 40);
    EXPECT_NE(
        log.text().find("FileConfig: Ignoring line 1 of " + file + ": Bad UTF-8 string for Title"),
        std::string::npos)
        << log.text();
}

TEST_F(ConfigFileReading, MissingFilesAreSkippedWithOnlyTheLookingForLine) {
    std::string file = directory.write("present", "Depth=5\n");
    testsupport::LogCapture log("FileConfig:stderr:110");

    EXPECT_FALSE(plat::readConfigFile("common", directory.file("absent").c_str(),
                                      PreferencePriority, config));
    EXPECT_FALSE(
        plat::readConfigFile("app", (file + "/below-a-file").c_str(), PreferencePriority, config));
    EXPECT_TRUE(plat::readConfigFile("present", file.c_str(), PreferencePriority, config));

    std::string text = log.text();
    EXPECT_NE(text.find("FileConfig: Looking for common config in " + directory.file("absent")),
              std::string::npos);
    EXPECT_NE(text.find("FileConfig: Looking for present config in " + file), std::string::npos);
    EXPECT_NE(text.find("FileConfig: Reading present config from " + file), std::string::npos);
    EXPECT_EQ(log.count("Reading "), 1) << text;
    EXPECT_EQ(depth.getValue(), 5);
}

TEST_F(ConfigFileReading, AFileThatCannotBeReadStopsWithTheCause) {
    std::string unreadable = directory.file("common");
    plat::mkDir(unreadable.c_str(), false);

    try {
        plat::readConfigFile("common", unreadable.c_str(), PreferencePriority, config);
        FAIL() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(std::string(e.message()),
                  "Error reading " + unreadable + ": read: Is a directory (21)");
    }
}

} // namespace
