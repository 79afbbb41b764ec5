// The translation tables: for each locale as registered ("de", "pt_BR"), its keys and texts.
// Texts are never removed, so pointers handed out stay valid until the process ends.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>

namespace loc {

// One text of one locale, and how callers have used it so far.
struct Translation {
    // The spelling of these names is that of the assertion that guards the state.
    enum State { TR_UNUSED, TR_RAW, TR_FORMATTED };

    const char* text;
    State state = TR_UNUSED;
};

// Ordered by key so that heterogeneous lookups work; the map's nodes never move, so the keys
// and entries may be referred to from the lookup maps.
using TranslationTable = std::map<std::string, Translation, std::less<>>;

class TranslationTables {
public:
    // Stores the text, replacing an earlier one of the key (which stays valid for whoever holds
    // it); the replacement is used afresh. Storing the same text again changes nothing.
    void add(std::string_view locale, std::string_view key, std::string_view text);
    // Replaces the text of an entry by its formatted form, keeping the earlier text valid.
    void replaceText(Translation& translation, std::string text);

    // Null when the locale has no table or the table lacks the key.
    Translation* find(std::string_view locale, std::string_view key);
    TranslationTable* table(std::string_view locale);

    // Counts every change, so that lookup maps built earlier can tell that they are stale.
    std::uint64_t generation() const { return changes; }

private:
    TranslationTable& tableFor(std::string_view locale);
    const char* keep(std::string text);

    std::map<std::string, TranslationTable, std::less<>> tables;
    // Registrations arrive locale by locale, so the table of the last one is kept at hand.
    std::string lastLocale;
    TranslationTable* lastTable = nullptr;
    // A deque never moves its elements: the texts stay where they are.
    std::deque<std::string> texts;
    std::uint64_t changes = 0;
};

} // namespace loc
