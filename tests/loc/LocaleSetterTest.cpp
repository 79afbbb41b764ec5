// Per-thread locales: a thread's own translations and C library locale.
#include <loc/LocaleSetter.h>
#include <loc/Localize.h>
#include <loc/localeParameter.h>
#include <plat/BuiltinTextTable.h>

#include <plat/ConfigParameter.h>

#include <support/RecordingLogDest.h>

#include <gtest/gtest.h>

#include <locale.h>
#include <string>
#include <thread>

namespace {

using Names = std::vector<std::string>;

const plat::BuiltinText TestTexts[] = {
    {"loctest_setter_greeting", "Hello", "Hallo", "Hola", "Bonjour", "Olá"},
    {"loctest_setter_day_sing", "%D day", "%D Tag", "%D día", "%D jour", "%D dia"},
    {"loctest_setter_day_many", "%D days", "%D Tage", "%D días", "%D jours", "%D dias"},
};

const plat::BuiltinTextTable testTable(TestTexts);

class LocaleSetterTest : public ::testing::Test {
protected:
    void SetUp() override {
        loc::localeParameter().setParam("en", plat::PreferencePriority);
        loc::Localize::instance().refresh();
    }
    void TearDown() override {
        loc::localeParameter().resetToDefault(false);
        loc::Localize::instance().refresh();
    }

    template <typename Body>
    static void onThread(Body body) {
        std::thread thread(body);
        thread.join();
    }
};

TEST_F(LocaleSetterTest, AThreadTranslatesInItsOwnLocale) {
    onThread([] {
        loc::LocaleSetter setter("de");
        EXPECT_STREQ(LOC_TR("loctest_setter_greeting"), "Hallo");
        EXPECT_STREQ(loc::Localize::instance().translatePlural("loctest_setter_day", 0), "%D Tage");
        EXPECT_EQ(loc::Localize::instance().locales(), (Names{"de_DE", "en_US"}));
        std::thread other([] { EXPECT_STREQ(LOC_TR("loctest_setter_greeting"), "Hello"); });
        other.join();
    });
    EXPECT_STREQ(LOC_TR("loctest_setter_greeting"), "Hello");
    EXPECT_EQ(loc::Localize::instance().locales(), (Names{"en_US"}));
}

TEST_F(LocaleSetterTest, TheThreadGetsACLibraryLocaleAndGivesItBack) {
    onThread([] {
        testsupport::LogRecording log("Localize");
        {
            loc::LocaleSetter setter("xq_ZZ");
            EXPECT_NE(uselocale(locale_t(nullptr)), LC_GLOBAL_LOCALE);
        }
        EXPECT_EQ(uselocale(locale_t(nullptr)), LC_GLOBAL_LOCALE);
        EXPECT_EQ(log.levelOf("No OS support for locale \"xq_ZZ\""), 30) << log.dump();
    });
}

} // namespace
