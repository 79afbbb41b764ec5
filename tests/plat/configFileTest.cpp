// Configuration files: the line rules (white space, escapes, the first "="), the escapes written
// back, and reading a file into parameters: what is skipped and what stops.
#include <plat/BoolParameter.h>
#include <plat/Configuration.h>
#include <plat/IntParameter.h>
#include <plat/StringParameter.h>
#include <plat/configFile.h>
#include <plat/file.h>

#include <support/LogCapture.h>
#include <support/TemporaryDirectory.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

using plat::PreferencePriority;

TEST(ConfigLineParsing, NameAndValueAroundTheFirstEqualsSignWithThreeEscapes) {
    using Case = std::tuple<const char*, const char*, const char*>;
    for (auto [text, name, value] :
         {Case{" \tName = a=b \r", "Name ", " a=b"}, Case{"Verbose", "Verbose", nullptr},
          Case{"Empty=", "Empty", ""},
          Case{"Text=a\\rb\\nc\\\\d\\te\\\\nf\\", "Text", "a\rb\nc\\d\\te\\nf\\"}}) {
        SCOPED_TRACE(text);
        plat::ConfigLine line = plat::parseConfigLine(text);
        EXPECT_STREQ(line.name.get(), name);
        EXPECT_STREQ(line.value.get(), value);
    }
}

TEST(ConfigValueEscaping, WritesWhatTheReaderDecodes) {
    const char* value = "one\r\ntwo\\three\\n four";
    plat::DString escaped = plat::escapeConfigValue(value);
    EXPECT_STREQ(escaped.get(), "one\\r\\ntwo\\\\three\\\\n four");
    EXPECT_STREQ(plat::parseConfigLine(std::string("Name=") + escaped.c_str()).value.get(), value);
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
                                                 "Title=\xc3\n"
                                                 "verbose\r\n"
                                                 "\n"
                                                 "  title = x\n"
                                                 "TITLE=Two\\nlines\r\n"
                                                 "Depth=0x10");
    testsupport::LogCapture log("FileConfig:stderr:10");

    EXPECT_TRUE(plat::readConfigFile("common", file.c_str(), 40, config));

    EXPECT_TRUE(verbose.getValue() && verbose.getPriority() == 40);
    EXPECT_EQ(depth.getValue(), 16);
    EXPECT_STREQ(title.getValueStr().c_str(), "Two\nlines");
    EXPECT_EQ(title.getValues().size(), 2u);
    EXPECT_EQ(log.count("FileConfig: Ignoring line 3 of " + file + ": Bad UTF-8 string for Title"),
              1)
        << log.text();
}

TEST_F(ConfigFileReading, AFileThatCannotBeReadStopsWithTheCause) {
    std::string unreadable = directory.file("common");
    plat::mkDir(unreadable.c_str(), false);
    EXPECT_EQ(testsupport::raisedBy([&] {
                  plat::readConfigFile("common", unreadable.c_str(), PreferencePriority, config);
              }).message,
              "Error reading " + unreadable + ": read: Is a directory (21)");
}

} // namespace
