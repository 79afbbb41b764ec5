// Building the lookup map from the tables of the load list.
#include <loc/TransMap.h>

#include <loc/localizeLog.h>
#include <loc/userLocales.h>

namespace loc {

TransMap::TransMap(const char* owner, std::vector<std::string> locales)
    : owner(owner), localeList(std::move(locales)), names(buildLoadList(localeList)) {}

void TransMap::update(TranslationTables& tables) {
    if (builtFrom == tables.generation())
        return;
    localizeLog().verbose("Updating %s TransMap with locales:", owner);
    for (const std::string& locale : localeList)
        localizeLog().verbose("%s", locale.c_str());
    entries.clear();
    for (const std::string& name : names) {
        TranslationTable* table = tables.table(name);
        if (table == nullptr)
            continue;
        for (auto& [key, translation] : *table)
            entries.try_emplace(key, &translation);
    }
    builtFrom = tables.generation();
}

Translation* TransMap::find(std::string_view key) const {
    auto found = entries.find(key);
    return found == entries.end() ? nullptr : found->second;
}

} // namespace loc
