// The built-in texts of the parameter registry: every key in five real translations that keep
// the placeholders, registered for lookup.
#include <plat/configurationTexts.h>

#include <loc/Localize.h>
#include <plat/utf8.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

// The "%" conversions of a text, sorted, so that reordered positions compare equal.
std::vector<std::string> placeholders(const char* text) {
    std::vector<std::string> found;
    for (const char* at = std::strchr(text, '%'); at; at = std::strchr(at + 1, '%')) {
        std::size_t length = 1 + std::strcspn(at + 1, "DSX%") + 1;
        found.emplace_back(at, length);
        at += length - 1;
    }
    std::sort(found.begin(), found.end());
    return found;
}

TEST(ConfigurationTexts, EveryKeyIsPresentOnce) {
    std::set<std::string> keys;
    for (const loc::BuiltinText& text : plat::configurationTexts())
        EXPECT_TRUE(keys.insert(text.key).second) << text.key;
    for (const char* key :
         {"plat_bad_argument", "plat_run_with_help", "plat_missing_argument",
          "plat_configuration_global_params", "plat_configuration_help_default",
          "plat_configuration_log_names_title", "plat_configuration_log_dests_title",
          "plat_configuration_option_usage_only", "plat_configuration_option_usage_with_extra",
          "plat_configuration_param_usage", "plat_usage_label", "plat_usage_help",
          "plat_this_program_not_directly", "plat_press_return_to_continue", "plat_string_too_long",
          "plat_param_log", "plat_param_log_keep_days", "plat_param_logdir", "plat_param_logfile"})
        EXPECT_EQ(keys.count(key), 1u) << key;
}

TEST(ConfigurationTexts, TranslationsAreValidDistinctAndKeepPlaceholders) {
    for (const loc::BuiltinText& text : plat::configurationTexts()) {
        for (const char* translation : {text.de, text.es, text.fr, text.pt}) {
            ASSERT_NE(translation, nullptr) << text.key;
            EXPECT_TRUE(plat::isValidUtf8(translation)) << text.key;
            EXPECT_STRNE(translation, text.en) << text.key;
            EXPECT_EQ(placeholders(translation), placeholders(text.en)) << text.key;
            EXPECT_EQ(std::count(translation, translation + std::strlen(translation), '\n'),
                      std::count(text.en, text.en + std::strlen(text.en), '\n'))
                << text.key;
        }
    }
}

TEST(ConfigurationTexts, EnglishTextsAreRegistered) {
    EXPECT_STREQ(loc::Localize::instance().findTranslation("plat_bad_argument"),
                 "Bad argument '%S'.");
    EXPECT_STREQ(LOC_TR("plat_configuration_log_dests_title"), "Log destinations:");
}

} // namespace
