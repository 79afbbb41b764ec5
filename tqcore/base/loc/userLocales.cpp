// The user's locale list and the load list built from it.
#include <loc/userLocales.h>

#include <algorithm>

namespace loc {

namespace {

constexpr const char* FallbackLocale = "en_US";
constexpr const char* FallbackLanguage = "en";

void appendOnce(std::vector<std::string>& names, std::string name) {
    if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
        names.push_back(std::move(name));
}

std::string normaliseListElement(std::string_view element, const LocaleName* systemLocale) {
    LocaleName name(element);
    if (systemLocale != nullptr && !name.hasTerritory() && systemLocale->hasTerritory() &&
        name.language() == systemLocale->language())
        return systemLocale->withoutCodeset();
    return name.normalised();
}

} // namespace

std::vector<std::string> parseLocaleList(std::string_view list, const LocaleName* systemLocale) {
    std::vector<std::string> locales;
    while (!list.empty()) {
        std::size_t colon = list.find(':');
        std::string_view element = list.substr(0, colon);
        // "_de" or ".UTF-8" have no language; they name nothing.
        if (!LocaleName(element).language().empty())
            appendOnce(locales, normaliseListElement(element, systemLocale));
        if (colon == std::string_view::npos)
            break;
        list.remove_prefix(colon + 1);
    }
    return locales;
}

bool isUntranslatedLocale(std::string_view name) {
    std::string language = LocaleName(name).language();
    return language == "C" || language == "POSIX";
}

std::vector<std::string> chooseUserLocales(const char* setting, const char* systemMessagesLocale,
                                           const char* languageVariable) {
    std::vector<std::string> locales;
    if (setting != nullptr)
        locales = parseLocaleList(setting);
    if (locales.empty() && systemMessagesLocale != nullptr &&
        !isUntranslatedLocale(systemMessagesLocale)) {
        LocaleName system(systemMessagesLocale);
        if (languageVariable != nullptr)
            locales = parseLocaleList(languageVariable, &system);
        if (locales.empty())
            appendOnce(locales, system.withoutCodeset());
    }
    appendOnce(locales, FallbackLocale);
    return locales;
}

std::vector<std::string> buildLoadList(const std::vector<std::string>& locales) {
    std::vector<std::string> names;
    for (const std::string& locale : locales) {
        appendOnce(names, locale);
        LocaleName name(locale);
        if (name.hasTerritory())
            appendOnce(names, name.language());
    }
    appendOnce(names, FallbackLocale);
    appendOnce(names, FallbackLanguage);
    return names;
}

} // namespace loc
