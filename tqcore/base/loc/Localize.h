// The process-wide translation service: built-in texts registered per locale, ".po" files read
// for the user's locales, and lookup by key in the calling thread's map.
#pragma once

#include <plat/BuiltinTextTable.h>
#include <plat/NonCopyable.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace loc {

class TransMap;

class Localize : plat::NonCopyable {
    // Never destroyed: static objects translate until the process ends. Declared first, as the
    // operation order of the virtual table is part of the binary interface.
    virtual ~Localize();

public:
    // Created on first use.
    static Localize& instance();

    // Registers a built-in text; it must be valid UTF-8 (an assertion otherwise). A key
    // registered twice keeps the later text.
    void addString(const char* locale, const char* key, const char* str);
    // Registers a table of built-in texts in the five languages; a language's texts are taken in
    // when the language is first looked up.
    void addBuiltinTable(std::span<const plat::BuiltinText> table);

    // The text for key as plain text, or the key itself after logging it as missing together
    // with the caller's file and line (when file is given). Returned texts stay valid until the
    // process ends. A text is used either plainly or as a format, never both (an assertion).
    const char* translate(const char* key, const char* file = nullptr, int line = 0);
    // The text for key as a format for formatLoc.
    const char* translateFormat(const char* key, const char* file = nullptr, int line = 0);
    // The format text of "<key>_sing" or "<key>_many", as count selects in the first of the
    // user locales that has the key.
    const char* translatePlural(const char* key, long count, const char* file = nullptr,
                                int line = 0);
    // The text for key, or null; reports nothing and leaves the text's use open.
    const char* findTranslation(const char* key);

    // The directories searched for "strings.<locale>.po", in order; refreshes. The first call
    // also has every change of the Locale parameter refresh the translations.
    void setSearchDirs(const std::vector<std::string>& dirs);
    // Chooses the user locales again, reads the files of locales not read before and rebuilds
    // the process map when anything changed.
    virtual void refresh();

    // The calling thread's user locales, "en_US" last.
    std::vector<std::string> locales();

private:
    friend class LocaleSetter;

    Localize();

    // A map of its own for a thread, with the files of its locales read.
    std::unique_ptr<TransMap> makeThreadMap(const std::vector<std::string>& locales);

    class State;
    std::unique_ptr<State> state;
};

} // namespace loc

// Pass the caller's file and line for the missing-text report.
#define LOC_TR(key) ::loc::Localize::instance().translate(key, __FILE__, __LINE__)
#define LOC_TRF(key) ::loc::Localize::instance().translateFormat(key, __FILE__, __LINE__)
