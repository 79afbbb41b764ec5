// The map that lookups use: every key of the tables named by the load list, the earlier name
// winning. The process has one; a thread with a LocaleSetter has its own.
#pragma once

#include <loc/TranslationTables.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace loc {

class TransMap {
public:
    // owner names the map in the log: "process" or "thread".
    TransMap(const char* owner, std::vector<std::string> locales);

    const std::vector<std::string>& locales() const { return localeList; }
    const std::vector<std::string>& loadList() const { return names; }

    // Rebuilds the map when the tables have changed since it was last built; a map is rebuilt,
    // never edited.
    void update(TranslationTables& tables);
    // Null when no table of the load list has the key. Call update first.
    Translation* find(std::string_view key) const;

private:
    static constexpr std::uint64_t NeverBuilt = ~std::uint64_t(0);

    const char* owner;
    std::vector<std::string> localeList;
    std::vector<std::string> names;
    // The keys are those of the tables' entries, which never move.
    std::unordered_map<std::string_view, Translation*> entries;
    std::uint64_t builtFrom = NeverBuilt;
};

} // namespace loc
