// Registration of built-in text tables.
#include <loc/BuiltinTable.h>

#include <loc/Localize.h>

namespace loc {

namespace {

struct LanguageColumn {
    const char* locale;
    const char* BuiltinText::*text;
};

constexpr LanguageColumn Columns[] = {
    {"en", &BuiltinText::en}, {"de", &BuiltinText::de}, {"es", &BuiltinText::es},
    {"fr", &BuiltinText::fr}, {"pt", &BuiltinText::pt},
};

} // namespace

BuiltinTable::BuiltinTable(const BuiltinText* texts, std::size_t count) {
    Localize& localize = Localize::instance();
    // Locale by locale, so that the registrations for one locale arrive in one run.
    for (const LanguageColumn& column : Columns) {
        for (std::size_t i = 0; i < count; ++i)
            localize.addString(column.locale, texts[i].key, texts[i].*column.text);
    }
}

} // namespace loc
