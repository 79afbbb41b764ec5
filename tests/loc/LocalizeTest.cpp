// Built-in tables and lookup: registration, the missing-text report and stable text pointers.
#include <loc/BuiltinTable.h>
#include <loc/Localize.h>

#include <plat/Log.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

const loc::BuiltinText TestTexts[] = {
    {"loctest_greeting", "Hello", "Hallo", "Hola", "Bonjour", "Olá"},
    {"loctest_file_sing", "%D file", "%D Datei", "%D archivo", "%D fichier", "%D arquivo"},
    {"loctest_file_many", "%D files", "%D Dateien", "%D archivos", "%D fichiers", "%D arquivos"},
};

const loc::BuiltinTable testTable(TestTexts);

std::string capturedLog(void (*body)()) {
    char path[] = "/tmp/localizeTest.XXXXXX";
    int file = mkstemp(path);
    std::fflush(stderr);
    int saved = dup(STDERR_FILENO);
    dup2(file, STDERR_FILENO);
    plat::setLogOverride("Localize:stderr:0");
    body();
    plat::setLogOverride(nullptr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    close(file);
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    unlink(path);
    return content.str();
}

TEST(Localize, BuiltinTableAnswersInEnglish) {
    EXPECT_STREQ(LOC_TR("loctest_greeting"), "Hello");
    EXPECT_STREQ(loc::Localize::instance().findTranslation("loctest_greeting"), "Hello");
}

TEST(Localize, PluralPicksTheFormForTheCount) {
    loc::Localize& localize = loc::Localize::instance();
    EXPECT_STREQ(localize.translatePlural("loctest_file", 1), "%D file");
    EXPECT_STREQ(localize.translatePlural("loctest_file", 0), "%D files");
    EXPECT_STREQ(localize.translatePlural("loctest_file", 2), "%D files");
}

TEST(Localize, MissingTextGivesTheKeyAndIsReported) {
    EXPECT_EQ(loc::Localize::instance().findTranslation("loctest_absent"), nullptr);
    std::string log = capturedLog([] {
        EXPECT_STREQ(loc::Localize::instance().translate("loctest_absent", "here.cpp", 12),
                     "loctest_absent");
        EXPECT_STREQ(loc::Localize::instance().translate("loctest_absent2"), "loctest_absent2");
    });
    EXPECT_NE(log.find("Localize: Missing translation for \"loctest_absent\" (here.cpp:12)\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Localize: Missing translation for \"loctest_absent2\"\n"),
              std::string::npos)
        << log;
}

TEST(Localize, TextsStayValidWhenAKeyIsRegisteredAgain) {
    loc::Localize& localize = loc::Localize::instance();
    localize.addString("en", "loctest_again", "first");
    const char* first = localize.translate("loctest_again");
    localize.addString("en", "loctest_again", "second");
    EXPECT_STREQ(first, "first");
    EXPECT_STREQ(localize.translate("loctest_again"), "second");
}

TEST(LocalizeDeathTest, BadUtf8InABuiltinTextIsAProgrammingError) {
    EXPECT_DEATH(loc::Localize::instance().addString("en", "loctest_bad", "caf\xC3"),
                 "Assertion 'isValidUtf8\\(str\\)' failed at .*: Bad UTF-8 in loctest_bad");
}

} // namespace
