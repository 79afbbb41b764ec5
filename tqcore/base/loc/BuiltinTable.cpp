// Registration of built-in text tables.
#include <loc/BuiltinTable.h>

#include <loc/Localize.h>

#include <mutex>

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

class TableList {
public:
    // Never destroyed, like the tables it lists.
    static TableList& instance() {
        static TableList* list = new TableList;
        return *list;
    }

    void add(std::span<const BuiltinText> table) {
        std::lock_guard lock(mutex);
        tables.push_back(table);
    }

    std::vector<std::span<const BuiltinText>> copy() {
        std::lock_guard lock(mutex);
        return tables;
    }

private:
    std::mutex mutex;
    std::vector<std::span<const BuiltinText>> tables;
};

} // namespace

BuiltinTable::BuiltinTable(const BuiltinText* texts, std::size_t count) {
    Localize& localize = Localize::instance();
    // Locale by locale, so that the registrations for one locale arrive in one run.
    for (const LanguageColumn& column : Columns) {
        for (std::size_t i = 0; i < count; ++i)
            localize.addString(column.locale, texts[i].key, texts[i].*column.text);
    }
    TableList::instance().add({texts, count});
}

std::vector<std::span<const BuiltinText>> BuiltinTable::all() {
    return TableList::instance().copy();
}

} // namespace loc
