// The process-wide translation tables: built-in texts registered per locale and their lookup by
// key. Stand-in: only the English table answers; locale choice and .po files come later.
#pragma once

#include <plat/NonCopyable.h>

#include <memory>

namespace loc {

class Localize : plat::NonCopyable {
public:
    // Created on first use and never destroyed, so that static objects may translate at any time.
    static Localize& instance();

    // The text must be valid UTF-8; keys registered twice keep the later text.
    void addString(const char* locale, const char* key, const char* text);

    // The text for key, or the key itself after logging it as missing. Returned texts stay valid
    // until the process ends.
    const char* translate(const char* key, const char* file = nullptr, int line = 0);
    // As translate, for texts that are formatted with formatLoc.
    const char* translateFormat(const char* key, const char* file = nullptr, int line = 0);
    // The text of "<key>_sing" or "<key>_many", chosen by count.
    const char* translatePlural(const char* key, long count, const char* file = nullptr,
                                int line = 0);
    // The text for key, or null; reports nothing.
    const char* findTranslation(const char* key);

private:
    Localize();
    ~Localize();

    class Tables;
    std::unique_ptr<Tables> tables;
};

} // namespace loc

// Pass the caller's file and line for the missing-text report.
#define LOC_TR(key) ::loc::Localize::instance().translate(key, __FILE__, __LINE__)
#define LOC_TRF(key) ::loc::Localize::instance().translateFormat(key, __FILE__, __LINE__)
