// The configuration-file store: what stops reading, and editing single settings of the
// application file. The product's initialisation tests show which files are read in what order
// and how later files and priorities win.
#include <tqutil/ConfigStoreFile.h>

#include <plat/Configuration.h>
#include <plat/Exception.h>
#include <plat/IntParameter.h>
#include <plat/StringParameter.h>
#include <plat/file.h>

#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using testsupport::modeOf;
using testsupport::readFile;
using testsupport::writeFile;

class ConfigStoreFileTest : public ::testing::Test {
protected:
    testsupport::TemporaryDirectory directory;
    plat::Configuration config{"Store"};
    plat::IntParameter depth{"Depth", "Depth.", 1, false, &config, 0, 100};
    plat::StringParameter title{"Title", "Title.", "none", false, &config};
    const std::string appFile = directory.file("user/config.d/App");
    tqutil::ConfigStoreFile store{"App", appFile.c_str(), config};
};

TEST_F(ConfigStoreFileTest, AnUnreadableFileStopsReading) {
    store.addDirectory(directory.file("system").c_str(), 10, false);
    plat::mkDirs(directory.file("system/common").c_str(), false);
    writeFile(directory.file("system/App"), "Depth=9\n");

    EXPECT_THROW(store.read(10), plat::Exception);
    EXPECT_EQ(depth.getValue(), 1);
}

TEST_F(ConfigStoreFileTest, SetCreatesAPrivateFileThatReadsBack) {
    store.set("Title", "two\nlines \\ here");

    EXPECT_TRUE(store.applicationFileExists());
    EXPECT_EQ(readFile(appFile), "Title=two\\nlines \\\\ here\n");
    EXPECT_EQ(modeOf(appFile), 0600);
    EXPECT_EQ(modeOf(directory.file("user/config.d")), 0700);
    plat::String value;
    ASSERT_TRUE(store.get("TITLE", value));
    EXPECT_STREQ(value.get(), "two\nlines \\ here");
}

TEST_F(ConfigStoreFileTest, SetReplacesTheFirstSettingDropsLaterOnesAndKeepsOtherLines) {
    writeFile(appFile, "# comment\r\nDepth=1\ntitle=old\nOther=x\nTITLE=older");

    store.set("Title", "new");

    EXPECT_EQ(readFile(appFile), "# comment\r\nDepth=1\nTitle=new\nOther=x\n");
}

TEST_F(ConfigStoreFileTest, GetFindsTheLastSettingAndRemoveDropsThemAll) {
    writeFile(appFile, "Title=first\nDepth=4\ntitle=second\n");
    plat::String value;

    ASSERT_TRUE(store.get("Title", value));
    EXPECT_STREQ(value.get(), "second");
    store.remove("title");

    EXPECT_EQ(readFile(appFile), "Depth=4\n");
    EXPECT_FALSE(store.get("Title", value));
}

} // namespace
