// The built-in texts of the parameter registry are registered for lookup. Their translations are
// checked with those of every other library in the loc tests.
#include <plat/configurationTexts.h>

#include <loc/Localize.h>

#include <gtest/gtest.h>

namespace {

TEST(ConfigurationTexts, EnglishTextsAreRegistered) {
    EXPECT_STREQ(loc::Localize::instance().findTranslation("plat_bad_argument"),
                 "Bad argument '%S'.");
    EXPECT_STREQ(LOC_TR("plat_configuration_log_dests_title"), "Log destinations:");
}

} // namespace
