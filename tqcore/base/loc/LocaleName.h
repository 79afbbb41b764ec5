// Locale names such as "pt_BR.UTF-8@euro": the language, an optional territory after "_" or "-",
// and a codeset and modifier that translations ignore.
#pragma once

#include <string>
#include <string_view>

namespace loc {

class LocaleName {
public:
    // Splits at the first "_", "-", "." or "@"; the territory runs to the next "." or "@".
    explicit LocaleName(std::string_view name);

    const std::string& language() const { return languagePart; }
    const std::string& territory() const { return territoryPart; }
    bool hasTerritory() const { return !territoryPart.empty(); }

    // "language_territory", or the bare language: the codeset and the modifier are dropped.
    std::string withoutCodeset() const;
    // As withoutCodeset, with a bare language given its default territory when it has one.
    std::string normalised() const;

    // The territory most users of the language live in, or null for a language not in the table.
    static const char* defaultTerritory(std::string_view language);
    // Whether a name may become part of a file name: letters and "_" only, so that no locale
    // setting can reach outside the translation directories.
    static bool isSafeForFileName(std::string_view name);

private:
    std::string languagePart;
    std::string territoryPart;
};

} // namespace loc
