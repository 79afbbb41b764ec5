// Reading the environment's messages locale and choosing C library locales.
#include <loc/systemLocale.h>

#include <loc/localizeLog.h>

#include <optional>

namespace loc {

namespace {

constexpr const char* Utf8Codeset = ".UTF-8";

// Returns the first candidate name that accept() takes, logging the locales it takes in neither
// form; null when there is none.
template <typename Accept>
std::optional<std::string> firstProvided(const std::vector<std::string>& locales, Accept accept) {
    for (const std::string& locale : locales) {
        for (std::string candidate : {locale + Utf8Codeset, locale}) {
            if (accept(candidate))
                return candidate;
        }
        localizeLog().status("No OS support for locale \"%s\"", locale.c_str());
    }
    return std::nullopt;
}

std::optional<std::string> readMessagesLocale() {
    std::string previous = setlocale(LC_ALL, nullptr);
    std::optional<std::string> messages;
    if (const char* name = setlocale(LC_MESSAGES, ""))
        messages = name;
    setlocale(LC_ALL, previous.c_str());
    return messages;
}

} // namespace

const char* systemMessagesLocale() {
    static const std::optional<std::string> messages = readMessagesLocale();
    return messages ? messages->c_str() : nullptr;
}

void ProcessLocale::choose(const std::vector<std::string>& locales) {
    if (changed && locales == chosenFrom)
        return;
    if (!changed)
        original = setlocale(LC_ALL, nullptr);
    changed = true;
    chosenFrom = locales;
    auto provided = firstProvided(locales, [](const std::string& name) {
        return setlocale(LC_ALL, name.c_str()) != nullptr;
    });
    if (!provided)
        setlocale(LC_ALL, "C");
}

void ProcessLocale::restore() {
    if (!changed)
        return;
    setlocale(LC_ALL, original.c_str());
    changed = false;
    chosenFrom.clear();
}

ThreadLocale::ThreadLocale(const std::vector<std::string>& locales) : locale(nullptr) {
    firstProvided(locales, [this](const std::string& name) {
        locale = newlocale(LC_ALL_MASK, name.c_str(), nullptr);
        return locale != nullptr;
    });
    if (locale == nullptr)
        locale = newlocale(LC_ALL_MASK, "C", nullptr);
    // Without even "C" the thread keeps the locale it has.
    previous = locale ? uselocale(locale) : nullptr;
}

ThreadLocale::~ThreadLocale() {
    if (locale == nullptr)
        return;
    uselocale(previous);
    freelocale(locale);
}

} // namespace loc
