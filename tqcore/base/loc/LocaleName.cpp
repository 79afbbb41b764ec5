// Splitting and normalising locale names, with the table of default territories.
#include <loc/LocaleName.h>

#include <algorithm>
#include <iterator>

namespace loc {

namespace {

struct DefaultTerritory {
    std::string_view language;
    const char* territory;
};

// Sorted by language for the binary search.
constexpr DefaultTerritory DefaultTerritories[] = {
    {"af", "ZA"}, {"be", "BY"}, {"bg", "BG"}, {"ca", "ES"}, {"cs", "CZ"}, {"da", "DK"},
    {"de", "DE"}, {"dz", "BT"}, {"el", "GR"}, {"en", "US"}, {"es", "ES"}, {"et", "EE"},
    {"fa", "IR"}, {"fi", "FI"}, {"fo", "FO"}, {"fr", "FR"}, {"ga", "IE"}, {"gu", "IN"},
    {"he", "IL"}, {"hi", "IN"}, {"hr", "HR"}, {"hu", "HU"}, {"hy", "AM"}, {"is", "IS"},
    {"it", "IT"}, {"iu", "CA"}, {"ja", "JP"}, {"ka", "GE"}, {"ko", "KR"}, {"lt", "LT"},
    {"lv", "LV"}, {"mk", "MK"}, {"mr", "IN"}, {"mt", "MT"}, {"nb", "NO"}, {"ne", "NP"},
    {"nl", "NL"}, {"nn", "NO"}, {"pl", "PL"}, {"pt", "BR"}, {"ro", "RO"}, {"ru", "RU"},
    {"sk", "SK"}, {"sl", "SI"}, {"sr", "RS"}, {"sv", "SE"}, {"th", "TH"}, {"to", "TO"},
    {"tr", "TR"}, {"uk", "UA"}, {"ur", "PK"}, {"uz", "UZ"}, {"vi", "VN"}, {"zh", "CN"},
};

static_assert(std::size(DefaultTerritories) == 54);

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

LocaleName::LocaleName(std::string_view name) {
    std::size_t separator = name.find_first_of("_-.@");
    languagePart = name.substr(0, separator);
    if (separator == std::string_view::npos || (name[separator] != '_' && name[separator] != '-'))
        return;
    std::string_view rest = name.substr(separator + 1);
    territoryPart = rest.substr(0, rest.find_first_of(".@"));
}

std::string LocaleName::withoutCodeset() const {
    if (!hasTerritory())
        return languagePart;
    return languagePart + "_" + territoryPart;
}

std::string LocaleName::normalised() const {
    if (hasTerritory())
        return withoutCodeset();
    const char* territory = defaultTerritory(languagePart);
    if (territory == nullptr)
        return languagePart;
    return languagePart + "_" + territory;
}

const char* LocaleName::defaultTerritory(std::string_view language) {
    auto found =
        std::lower_bound(std::begin(DefaultTerritories), std::end(DefaultTerritories), language,
                         [](const DefaultTerritory& entry, std::string_view wanted) {
                             return entry.language < wanted;
                         });
    if (found == std::end(DefaultTerritories) || found->language != language)
        return nullptr;
    return found->territory;
}

bool LocaleName::isSafeForFileName(std::string_view name) {
    return !name.empty() &&
           std::all_of(name.begin(), name.end(), [](char c) { return isLetter(c) || c == '_'; });
}

} // namespace loc
