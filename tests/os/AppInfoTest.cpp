// The process-wide application identity: initialisation, kept storage, display names.
#include <os/AppInfo.h>

#include <loc/Localize.h>

#include <gtest/gtest.h>

namespace {

using os::AppInfo;

// Every case starts from a known identity; the store is process-wide.
class AppIdentity : public ::testing::Test {
protected:
    void SetUp() override { AppInfo::init(nullptr, nullptr, nullptr, nullptr, nullptr); }
    void TearDown() override { AppInfo::init(nullptr, nullptr, nullptr, nullptr, nullptr); }
};

// Callers keep the pointers they were given: setting an equal value must not free them.
TEST_F(AppIdentity, EqualValueKeepsTheTextHandedOutBefore) {
    AppInfo::init("tool", "Maker", "kbx", nullptr, nullptr);
    const char* app = AppInfo::getApp();
    const char* company = AppInfo::getCompany();
    AppInfo::init("tool", "Maker", "kbx", nullptr, nullptr);
    AppInfo::setApp("tool");
    EXPECT_EQ(AppInfo::getApp(), app);
    EXPECT_EQ(AppInfo::getCompany(), company);
    AppInfo::setApp("other");
    EXPECT_STREQ(AppInfo::getApp(), "other");
}

TEST_F(AppIdentity, DisplayNameIsTheTranslationOrTheTextOrTheApplicationName) {
    AppInfo::init("tool", "Maker", "kbx", nullptr, nullptr);
    EXPECT_STREQ(AppInfo::getDisplayName().get(), "tool");
    AppInfo::init("tool", "Maker", "kbx", nullptr, "A\u00ae B\u00ae");
    EXPECT_STREQ(AppInfo::getDisplayName().get(), "A\u00ae B\u00ae");
    EXPECT_STREQ(AppInfo::getDisplayNameWithoutMark().get(), "A B");
    loc::Localize::instance().addString("en", "ostest_appinfo_name", "Translated\u00ae Tool");
    AppInfo::init("tool", "Maker", "kbx", "ostest_appinfo_name", "Untranslated");
    EXPECT_STREQ(AppInfo::getDisplayName().get(), "Translated\u00ae Tool");
    EXPECT_STREQ(AppInfo::getDisplayNameWithoutMark().get(), "Translated Tool");
}

} // namespace
