// Plural categories by language.
#include <loc/pluralCategory.h>

namespace loc {

namespace {

constexpr const char* Singular = "sing";
constexpr const char* Plural = "many";

bool singularBelowTwo(const LocaleName& locale) {
    if (locale.language() == "fr")
        return true;
    // European Portuguese counts like English; a bare "pt" means Brazil, as its default does.
    return locale.language() == "pt" && (!locale.hasTerritory() || locale.territory() == "BR");
}

bool hasOneForm(const LocaleName& locale) {
    const std::string& language = locale.language();
    return language == "ja" || language == "vi" || language == "ko" || language == "zh";
}

} // namespace

const char* pluralCategory(const LocaleName& locale, long count) {
    if (singularBelowTwo(locale))
        return count < 2 ? Singular : Plural;
    if (hasOneForm(locale))
        return Plural;
    return count == 1 ? Singular : Plural;
}

} // namespace loc
