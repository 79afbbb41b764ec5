// Storage of the translation tables.
#include <loc/TranslationTables.h>

namespace loc {

void TranslationTables::add(std::string_view locale, std::string_view key, std::string_view text) {
    TranslationTable& table = tableFor(locale);
    auto found = table.find(key);
    if (found == table.end()) {
        table.emplace(std::string(key), Translation{keep(std::string(text))});
    } else {
        if (found->second.text == text)
            return;
        found->second = Translation{keep(std::string(text))};
    }
    ++changes;
}

void TranslationTables::replaceText(Translation& translation, std::string text) {
    translation.text = keep(std::move(text));
}

Translation* TranslationTables::find(std::string_view locale, std::string_view key) {
    auto table = tables.find(locale);
    if (table == tables.end())
        return nullptr;
    auto entry = table->second.find(key);
    return entry == table->second.end() ? nullptr : &entry->second;
}

TranslationTable* TranslationTables::table(std::string_view locale) {
    auto found = tables.find(locale);
    return found == tables.end() ? nullptr : &found->second;
}

TranslationTable& TranslationTables::tableFor(std::string_view locale) {
    if (lastTable == nullptr || lastLocale != locale) {
        lastTable = &tables[std::string(locale)];
        lastLocale = locale;
    }
    return *lastTable;
}

const char* TranslationTables::keep(std::string text) {
    return texts.emplace_back(std::move(text)).c_str();
}

} // namespace loc
