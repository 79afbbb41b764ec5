// Built-in texts compiled into the libraries: each library defines one table of its keys in the
// five languages, registered during static construction. The translation service, which sits in a
// library above this one, receives every table; until one does, lookups here give English.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace plat {

// One built-in text in the five languages.
struct BuiltinText {
    const char* key;
    const char* en;
    const char* de;
    const char* es;
    const char* fr;
    const char* pt;
};

// Takes every registered table into the translation maps.
class BuiltinTextReceiver {
public:
    virtual void receive(std::span<const BuiltinText> table) = 0;

protected:
    ~BuiltinTextReceiver() = default;
};

// Declared as a static object next to its table; the texts must outlive the process's lookups.
class BuiltinTextTable {
public:
    template <std::size_t N>
    explicit BuiltinTextTable(const BuiltinText (&texts)[N]) : BuiltinTextTable(texts, N) {}
    BuiltinTextTable(const BuiltinTextTable&) = delete;
    BuiltinTextTable& operator=(const BuiltinTextTable&) = delete;

    std::span<const BuiltinText> texts() const { return table; }

    // Every table registered so far, in the order of registration.
    static std::vector<std::span<const BuiltinText>> all();
    // Hands the receiver every table registered so far, then each later one as it registers.
    // There is one receiver per process; it must live until the process ends.
    static void setReceiver(BuiltinTextReceiver& receiver);
    // The English text of key in the registered tables, or null.
    static const char* english(const char* key);

private:
    BuiltinTextTable(const BuiltinText* texts, std::size_t count);

    std::span<const BuiltinText> table;
};

} // namespace plat
