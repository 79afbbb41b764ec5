// Built-in texts compiled into the libraries: each library defines one table of its keys in the
// five languages and registers it during static construction.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace loc {

// One built-in text in the five languages.
struct BuiltinText {
    const char* key;
    const char* en;
    const char* de;
    const char* es;
    const char* fr;
    const char* pt;
};

// Registers every text with Localize::addString for "en", "de", "es", "fr" and "pt". Declared as a
// static object next to its table; the texts must outlive the process's lookups.
class BuiltinTable {
public:
    template <std::size_t N>
    explicit BuiltinTable(const BuiltinText (&texts)[N]) : BuiltinTable(texts, N) {}

    BuiltinTable(const BuiltinTable&) = delete;
    BuiltinTable& operator=(const BuiltinTable&) = delete;

    // Every table registered so far, in the order of registration.
    static std::vector<std::span<const BuiltinText>> all();

private:
    BuiltinTable(const BuiltinText* texts, std::size_t count);
};

} // namespace loc
