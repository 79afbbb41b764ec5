// Stand-in translation tables: every locale's built-in texts are kept, English ones answer.
#include <loc/Localize.h>

#include <loc/localizeLog.h>
#include <plat/DString.h>
#include <plat/Exception.h>
#include <plat/utf8.h>

#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace loc {

namespace {

constexpr const char* AnsweringLocale = "en";

} // namespace

plat::LogSrc& localizeLog() {
    static plat::LogSrc log("Localize");
    return log;
}

namespace {

// Lists the source from start-up on, before the first missing text.
[[maybe_unused]] plat::LogSrc& registeredLog = localizeLog();

} // namespace

class Localize::Tables {
public:
    void add(const char* locale, const char* key, const char* text) {
        std::lock_guard lock(mutex);
        // A deque never moves its elements, so pointers handed out for earlier texts stay valid
        // when a key is registered again.
        const std::string& kept = texts.emplace_back(text);
        byLocale[locale][key] = kept.c_str();
    }

    const char* find(const char* key) {
        std::lock_guard lock(mutex);
        auto table = byLocale.find(AnsweringLocale);
        if (table == byLocale.end())
            return nullptr;
        auto entry = table->second.find(key);
        return entry == table->second.end() ? nullptr : entry->second;
    }

private:
    std::mutex mutex;
    std::deque<std::string> texts;
    std::map<std::string, std::map<std::string, const char*, std::less<>>, std::less<>> byLocale;
};

Localize& Localize::instance() {
    static Localize* localize = new Localize;
    return *localize;
}

Localize::Localize() : tables(std::make_unique<Tables>()) {}

Localize::~Localize() = default;

void Localize::addString(const char* locale, const char* key, const char* str) {
    // Unqualified, as the failure report should read.
    using plat::isValidUtf8;
    PLAT_ASSERT_INFO(isValidUtf8(str), "Bad UTF-8 in %s", key);
    tables->add(locale, key, str);
}

const char* Localize::translate(const char* key, const char* file, int line) {
    if (key == nullptr)
        return "";
    if (const char* text = findTranslation(key))
        return text;
    if (file)
        localizeLog().error("Missing translation for \"%s\" (%s:%d)", key, file, line);
    else
        localizeLog().error("Missing translation for \"%s\"", key);
    return key;
}

const char* Localize::translateFormat(const char* key, const char* file, int line) {
    return translate(key, file, line);
}

const char* Localize::translatePlural(const char* key, long count, const char* file, int line) {
    if (key == nullptr)
        return "";
    plat::DString pluralKey;
    pluralKey.format("%s_%s", key, count == 1 ? "sing" : "many");
    if (const char* text = findTranslation(pluralKey.get()))
        return text;
    if (file)
        localizeLog().error("Missing plural translation for \"%s\" (%s:%d)", key, file, line);
    else
        localizeLog().error("Missing plural translation for \"%s\"", key);
    return key;
}

const char* Localize::findTranslation(const char* key) {
    return key ? tables->find(key) : nullptr;
}

} // namespace loc
