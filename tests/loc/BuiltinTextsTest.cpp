// The built-in texts of every library: each key that the program uses is registered once, in
// five real translations that keep the format of the English text.
#include <io/ioTexts.h>
#include <loc/formatLoc.h>
#include <loc/locTexts.h>
#include <os/osTexts.h>
#include <plat/BuiltinTextTable.h>
#include <plat/configurationTexts.h>
#include <plat/keepLinked.h>
#include <product/productTexts.h>
#include <tqutil/editMenuTexts.h>
#include <tx/msgBoxTexts.h>

#include <plat/MarkupParserHtml.h>
#include <plat/MarkupStripper.h>
#include <plat/utf8.h>

#include <support/RecordingLogDest.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

// Every library's table: a new library's table joins this list.
PLAT_KEEP_LINKED(io::ioTexts);
PLAT_KEEP_LINKED(loc::locTexts);
PLAT_KEEP_LINKED(os::osTexts);
PLAT_KEEP_LINKED(plat::configurationTexts);
PLAT_KEEP_LINKED(product::productTexts);
PLAT_KEEP_LINKED(tqutil::editMenuTexts);
PLAT_KEEP_LINKED(tx::msgBoxTexts);

namespace {

// Tables that the tests themselves register are not the program's.
std::vector<plat::BuiltinText> programTexts() {
    std::vector<plat::BuiltinText> texts;
    for (std::span<const plat::BuiltinText> table : plat::BuiltinTextTable::all()) {
        for (const plat::BuiltinText& text : table) {
            if (std::strncmp(text.key, "loctest_", 8) != 0)
                texts.push_back(text);
        }
    }
    return texts;
}

struct Language {
    const char* name;
    const char* plat::BuiltinText::*text;
};

constexpr Language Translations[] = {{"de", &plat::BuiltinText::de},
                                     {"es", &plat::BuiltinText::es},
                                     {"fr", &plat::BuiltinText::fr},
                                     {"pt", &plat::BuiltinText::pt}};

// A conversion of the formatting language: its position (0 without one) and letter.
struct Conversion {
    int position;
    char type;
    auto operator<=>(const Conversion&) const = default;
};

// The conversions of a text, sorted, so that reordered positions compare equal; "%%" counts as
// a conversion of its own, so that translators keep escapes too.
std::vector<Conversion> conversions(const char* text) {
    std::vector<Conversion> found;
    for (const char* at = std::strchr(text, '%'); at != nullptr; at = std::strchr(at, '%')) {
        ++at;
        Conversion conversion{0, '%'};
        if (*at == '%') {
            found.push_back(conversion);
            ++at;
            continue;
        }
        at += *at == '+';
        if (const char* dollar = std::strchr(at, '$'); dollar && dollar - at <= 2) {
            conversion.position = std::atoi(at);
            at = dollar + 1;
        }
        while (*at == '.' || (*at >= '0' && *at <= '9'))
            ++at;
        conversion.type = *at;
        found.push_back(conversion);
    }
    std::sort(found.begin(), found.end());
    return found;
}

// Formats with arguments of the types the conversions ask for; the number of faults logged.
std::size_t formattingFaults(const char* text) {
    std::vector<Conversion> wanted = conversions(text);
    loc::LocArg arguments[2] = {loc::LocArg("one"), loc::LocArg("two")};
    int count = 0;
    for (const Conversion& conversion : wanted) {
        if (conversion.type == '%')
            continue;
        int index = conversion.position > 0 ? conversion.position - 1 : 0;
        if (index > 1)
            return 100;
        count = std::max(count, index + 1);
        if (conversion.type == 'D')
            arguments[index] = loc::LocArg(42);
        else if (conversion.type == 'X')
            arguments[index] = loc::LocArg(42u);
    }
    testsupport::LogRecording log("Localize");
    if (count == 0)
        loc::formatLoc(text, {});
    else if (count == 1)
        loc::formatLoc(text, {arguments[0]});
    else
        loc::formatLoc(text, {arguments[0], arguments[1]});
    return log.messages().size();
}

// Texts that are rightly the same as the English one in a language: unit symbols, "OK",
// separators, and the copyright line, which is never translated.
const std::set<std::pair<std::string, std::string>> SameAsEnglish = [] {
    std::set<std::pair<std::string, std::string>> same;
    auto add = [&same](std::initializer_list<const char*> keys,
                       std::initializer_list<const char*> languages) {
        for (const char* key : keys)
            for (const char* language : languages)
                same.emplace(key, language);
    };
    add({"loc_bytesize_kibi_decimal", "loc_bytesize_mebi_decimal", "loc_bytesize_gibi_decimal",
         "loc_bytesize_tebi_decimal", "loc_byterate_kibi_sing", "loc_byterate_kibi_many",
         "loc_byterate_mebi_sing", "loc_byterate_mebi_many", "loc_byterate_gibi_sing",
         "loc_byterate_gibi_many"},
        {"de", "es", "pt"});
    add({"loc_bytesize_unit_sing", "loc_bytesize_unit_many", "loc_byterate_unit_sing",
         "loc_byterate_unit_many"},
        {"es", "pt"});
    add({"loc_timedate_separator", "loc_timezone_separator", "product_copyright"},
        {"de", "es", "fr", "pt"});
    add({"loc_period_minute_sing", "loc_period_minute_many"}, {"fr"});
    add({"tx_msgbox_ok"}, {"de", "fr", "pt"});
    add({"tx_msgbox_no"}, {"es"});
    return same;
}();

TEST(BuiltinTexts, EveryLibraryRegistersItsKeysOnceEach) {
    std::map<std::string, int> registered;
    std::set<std::string> libraries;
    for (const plat::BuiltinText& text : programTexts()) {
        ++registered[text.key];
        std::string key = text.key;
        EXPECT_TRUE(std::all_of(key.begin(), key.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || c == '_' || (c >= '0' && c <= '9');
        })) << key;
        libraries.insert(key.substr(0, key.find('_')));
    }
    for (const auto& [key, count] : registered)
        EXPECT_EQ(count, 1) << key;
    EXPECT_EQ(libraries,
              (std::set<std::string>{"io", "loc", "os", "plat", "product", "tqutil", "tx"}));
}

TEST(BuiltinTexts, EveryLanguageHasItsOwnValidTextWithTheSameConversions) {
    for (const plat::BuiltinText& text : programTexts()) {
        ASSERT_NE(text.en, nullptr) << text.key;
        EXPECT_EQ(formattingFaults(text.en), 0u) << text.key;
        for (const Language& language : Translations) {
            SCOPED_TRACE(std::string(text.key) + " " + language.name);
            const char* translation = text.*language.text;
            ASSERT_NE(translation, nullptr);
            EXPECT_NE(translation[0], '\0');
            if (SameAsEnglish.count({text.key, language.name}) == 0) {
                EXPECT_STRNE(translation, text.en);
            }
            EXPECT_TRUE(plat::isValidUtf8(translation));
            EXPECT_EQ(conversions(translation), conversions(text.en)) << translation;
            EXPECT_EQ(formattingFaults(translation), 0u);
            EXPECT_EQ(std::count(translation, translation + std::strlen(translation), '\n'),
                      std::count(text.en, text.en + std::strlen(text.en), '\n'));
        }
    }
}

TEST(BuiltinTexts, TheMarkedUpProductInformationIsValidMarkup) {
    for (const plat::BuiltinText& text : programTexts()) {
        if (std::strcmp(text.key, "product_info_marked_up_fmt") != 0)
            continue;
        for (const char* translation : {text.en, text.de, text.es, text.fr, text.pt}) {
            plat::DString markup = loc::formatLoc(translation, {"https://docs.quorvel.example/1"});
            plat::Markup::Stripper plain;
            EXPECT_TRUE(plat::Markup::ParserHtml().render(markup.c_str(), plain)) << translation;
            EXPECT_NE(std::strstr(plain.c_str(), "https://www.quorvel.example"), nullptr)
                << plain.c_str();
        }
        return;
    }
    FAIL() << "product_info_marked_up_fmt is not registered";
}

} // namespace
