// Choosing the user's locales from the Locale setting, LANGUAGE and the system messages locale,
// and the list of names whose translations a list of locales draws on.
#pragma once

#include <loc/LocaleName.h>

#include <string>
#include <string_view>
#include <vector>

namespace loc {

// The ":"-separated names of list, normalised; empty names and repeats are dropped. With a
// system locale, a bare language equal to the system locale's language takes the system locale's
// territory instead of its default one, as LANGUAGE asks.
std::vector<std::string> parseLocaleList(std::string_view list,
                                         const LocaleName* systemLocale = nullptr);

// Whether a messages locale asks for no translation: "C" or "POSIX", with or without a codeset.
bool isUntranslatedLocale(std::string_view name);

// The user locales, "en_US" last: the locales of a non-empty setting; otherwise none for an
// untranslated or unusable (null) system locale; otherwise those of a non-empty LANGUAGE
// (languageVariable, null when unset); otherwise the system locale without codeset.
std::vector<std::string> chooseUserLocales(const char* setting, const char* systemMessagesLocale,
                                           const char* languageVariable);

// Each locale, followed by its bare language when it has a territory; then "en_US" and "en".
// Repeats are dropped, the first place kept.
std::vector<std::string> buildLoadList(const std::vector<std::string>& locales);

} // namespace loc
