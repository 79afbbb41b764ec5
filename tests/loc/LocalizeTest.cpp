// The translation service: lookup in the user's locales, plural selection, the raw and
// formatted uses of a text, missing texts, and ".po" files from directories and resources.
#include <loc/Localize.h>
#include <loc/localeParameter.h>
#include <plat/BuiltinTextTable.h>

#include <plat/ConfigParameter.h>
#include <tqutil/builtinResources.h>

#include <support/RecordingLogDest.h>
#include <support/TemporaryDirectory.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

using Names = std::vector<std::string>;

const plat::BuiltinText TestTexts[] = {
    {"loctest_greeting", "Hello", "Hallo", "Hola", "Bonjour", "Olá"},
    {"loctest_file_sing", "%D file", "%D Datei", "%D archivo", "%D fichier", "%D arquivo"},
    {"loctest_file_many", "%D files", "%D Dateien", "%D archivos", "%D fichiers", "%D arquivos"},
};

const plat::BuiltinTextTable testTable(TestTexts);

class LocalizeTest : public ::testing::Test {
protected:
    void SetUp() override { useLocale("en_US"); }

    void TearDown() override {
        loc::localeParameter().resetToDefault(false);
        localize().setSearchDirs({});
    }

    static loc::Localize& localize() { return loc::Localize::instance(); }

    static void useLocale(const char* locales) {
        loc::localeParameter().setParam(locales, plat::PreferencePriority);
        localize().refresh();
    }
};

TEST_F(LocalizeTest, TextsComeFromTheFirstUserLocaleThatHasThem) {
    EXPECT_STREQ(LOC_TR("loctest_greeting"), "Hello");
    useLocale("de_AT.UTF-8");
    EXPECT_STREQ(LOC_TR("loctest_greeting"), "Hallo") << "the language's table serves";
    useLocale("it:fr:de");
    EXPECT_STREQ(LOC_TR("loctest_greeting"), "Bonjour");
    useLocale("it");
    EXPECT_STREQ(LOC_TR("loctest_greeting"), "Hello") << "English comes last";
}

TEST_F(LocalizeTest, PluralsFollowTheRuleOfTheLocaleThatHasThem) {
    EXPECT_STREQ(localize().translatePlural("loctest_file", 0), "%D files");
    useLocale("fr");
    EXPECT_STREQ(localize().translatePlural("loctest_file", 0), "%D fichier");
    useLocale("pt_PT");
    EXPECT_STREQ(localize().translatePlural("loctest_file", 0), "%D arquivos");

    localize().addString("ja", "loctest_item_many", "%D 個");
    useLocale("ja");
    EXPECT_STREQ(localize().translatePlural("loctest_item", 1), "%D 個");
    EXPECT_STREQ(localize().translatePlural("loctest_file", 1), "%D file")
        << "English counts by its own rule";
}

TEST_F(LocalizeTest, MissingTextsGiveTheKeyAndAreReported) {
    EXPECT_EQ(localize().findTranslation("loctest_absent"), nullptr);
    testsupport::LogRecording log("Localize");
    EXPECT_STREQ(localize().translate("loctest_absent", "here.cpp", 12), "loctest_absent");
    EXPECT_STREQ(localize().translateFormat("loctest_absent2"), "loctest_absent2");
    EXPECT_STREQ(localize().translatePlural("loctest_absent3", 2, "there.cpp", 7),
                 "loctest_absent3");
    EXPECT_EQ(log.levelOf("Missing translation for \"loctest_absent\" (here.cpp:12)"), 0)
        << log.dump();
    EXPECT_EQ(log.levelOf("Missing translation for \"loctest_absent2\""), 0) << log.dump();
    EXPECT_EQ(log.levelOf("Missing plural translation for \"loctest_absent3\" (there.cpp:7)"), 0)
        << log.dump();
}

TEST_F(LocalizeTest, PlainUseResolvesPercentEscapesOnce) {
    localize().addString("en", "loctest_percent", "100%% sure");
    const char* first = LOC_TR("loctest_percent");
    EXPECT_STREQ(first, "100% sure");
    EXPECT_EQ(LOC_TR("loctest_percent"), first);
    EXPECT_STREQ(localize().findTranslation("loctest_percent"), "100% sure");

    localize().addString("en", "loctest_raw_percent", "%S at 100%%");
    EXPECT_STREQ(LOC_TRF("loctest_raw_percent"), "%S at 100%%");

    localize().addString("en", "loctest_percent", "registered again");
    EXPECT_STREQ(first, "100% sure") << "texts handed out stay valid";
    EXPECT_STREQ(LOC_TR("loctest_percent"), "registered again");
}

TEST_F(LocalizeTest, FilesOfTheLoadListAreReadInItsOrder) {
    testsupport::TemporaryDirectory dir;
    for (const char* name : {"de_DE", "de", "en_US", "en", "fr", "es"}) {
        dir.write(std::string("strings.") + name + ".po",
                  std::string("msgid \"loctest_po_source\"\nmsgstr \"") + name + "\"\n");
    }
    useLocale("de:fr");
    testsupport::LogRecording log("Localize");
    localize().setSearchDirs({dir.path()});
    EXPECT_STREQ(LOC_TR("loctest_po_source"), "de_DE");

    Names loaded;
    for (const testsupport::RecordingLogDest::Message& message : log.messages()) {
        if (message.text.starts_with("Loaded strings from ")) {
            EXPECT_EQ(message.level, 30);
            loaded.push_back(message.text.substr(std::strlen("Loaded strings from ")));
        }
    }
    // There is no strings.fr_FR.po, and es is not a user locale.
    Names expected;
    for (const char* name : {"de_DE", "de", "fr", "en_US", "en"})
        expected.push_back(dir.path() + "/strings." + name + ".po");
    EXPECT_EQ(loaded, expected);
}

TEST_F(LocalizeTest, BadFilesAreReportedAndTheRestIsUsed) {
    testsupport::TemporaryDirectory dir;
    std::string bad = dir.write("strings.fr.po", "msgid \"loctest_po_good\"\n"
                                                 "msgstr \"bon\" \n"
                                                 "msgstr \"bien\"\n");
    std::filesystem::create_directory(dir.path() + "/strings.fr_FR.po");
    localize().setSearchDirs({dir.path()});
    testsupport::LogRecording log("Localize");
    useLocale("fr");
    EXPECT_STREQ(LOC_TR("loctest_po_good"), "bien");
    EXPECT_EQ(log.levelOf(bad + ":2 Junk following string data"), 0) << log.dump();
    std::string unreadable = dir.path() + "/strings.fr_FR.po";
    std::string prefix = "Error loading strings from " + unreadable + ": read(" + unreadable + ")";
    bool reported = false;
    for (const testsupport::RecordingLogDest::Message& message : log.messages())
        reported |= message.level == 0 && message.text.starts_with(prefix);
    EXPECT_TRUE(reported) << log.dump();
}

TEST_F(LocalizeTest, LocaleNamesThatCouldLeaveTheDirectoryAreNotFileNames) {
    testsupport::TemporaryDirectory dir;
    std::filesystem::create_directory(dir.path() + "/strings.de_x");
    dir.write("strings.de_x/y.po", "msgid \"loctest_po_escape\"\nmsgstr \"escaped\"\n");
    localize().setSearchDirs({dir.path()});
    testsupport::LogRecording log("Localize");
    useLocale("de_x/y");
    EXPECT_EQ(localize().locales(), (Names{"de_x/y", "en_US"}));
    EXPECT_EQ(localize().findTranslation("loctest_po_escape"), nullptr) << log.dump();
}

TEST_F(LocalizeTest, BuiltinTextsThenResourcesThenFiles) {
    localize().addString("xq", "loctest_resource_file", "built in");
    static const char Catalogue[] = "msgid \"loctest_resource\"\nmsgstr \"from resource\"\n"
                                    "msgid \"loctest_resource_file\"\nmsgstr \"from resource\"\n";
    tqutil::registerResource("strings.xq.po", sizeof Catalogue - 1, Catalogue);
    testsupport::TemporaryDirectory dir;
    dir.write("strings.xq.po", "msgid \"loctest_resource_file\"\nmsgstr \"from file\"\n");
    localize().setSearchDirs({dir.path()});
    testsupport::LogRecording log("Localize");
    useLocale("xq");
    EXPECT_STREQ(LOC_TR("loctest_resource"), "from resource");
    EXPECT_STREQ(LOC_TR("loctest_resource_file"), "from file");
    EXPECT_EQ(log.levelOf("Loaded strings from built-in resource strings.xq.po"), 30) << log.dump();
}

} // namespace
