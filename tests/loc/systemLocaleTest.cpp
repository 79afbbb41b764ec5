// The locale the environment names: LANGUAGE, LC_ALL, LC_MESSAGES and LANG as the process sees
// them at its first refresh. Each case runs in a fresh process, since the system locale is read
// once per process.
#include <loc/Localize.h>

#include <support/EnvironmentChange.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;
using testsupport::EnvironmentChange;

// A directory holding a compiled fr_FR.UTF-8 locale for LOCPATH, made once and shared with the
// test processes through the environment; empty when localedef cannot make it.
std::string frenchLocaleDirectory() {
    static std::string directory = [] {
        if (const char* made = std::getenv("LOCTEST_LOCPATH"))
            return std::string(made);
        char pattern[] = "/tmp/loctest-locales.XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            return std::string();
        std::string command =
            std::string("localedef -i fr_FR -f UTF-8 ") + pattern + "/fr_FR.UTF-8 >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0 ||
            !std::filesystem::exists(std::string(pattern) + "/fr_FR.UTF-8")) {
            std::filesystem::remove_all(pattern);
            return std::string();
        }
        setenv("LOCTEST_LOCPATH", pattern, 1);
        return std::string(pattern);
    }();
    return directory;
}

class SystemLocaleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Each case re-runs the test program for its statement.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
    }
    static void TearDownTestSuite() {
        GTEST_FLAG_SET(death_test_style, "fast");
        if (const char* made = std::getenv("LOCTEST_LOCPATH")) {
            std::filesystem::remove_all(made);
            unsetenv("LOCTEST_LOCPATH");
        }
    }
};

// Exits with 0 when the user locales are the expected ones, else reports them and exits with 1.
[[noreturn]] void expectLocales(const Names& expected) {
    Names locales = loc::Localize::instance().locales();
    if (locales == expected)
        std::_Exit(0);
    for (const std::string& locale : locales)
        std::fprintf(stderr, "got %s\n", locale.c_str());
    std::_Exit(1);
}

TEST_F(SystemLocaleTest, LanguageOrElseTheSystemLocaleNamesTheLocalesOfATranslatedSystem) {
    std::string locales = frenchLocaleDirectory();
    if (locales.empty())
        GTEST_SKIP() << "localedef cannot make fr_FR.UTF-8";
    EnvironmentChange path("LOCPATH", locales), all("LC_ALL", std::nullopt);
    {
        EnvironmentChange messages("LC_MESSAGES", std::nullopt), lang("LANG", "fr_FR.UTF-8"),
            language("LANGUAGE", "de");
        EXPECT_EXIT(expectLocales({"de_DE", "en_US"}), testing::ExitedWithCode(0), "");
    }
    EnvironmentChange messages("LC_MESSAGES", "fr_FR.UTF-8"), lang("LANG", "de_DE.UTF-8"),
        language("LANGUAGE", std::nullopt);
    EXPECT_EXIT(expectLocales({"fr_FR", "en_US"}), testing::ExitedWithCode(0), "");
}

} // namespace
