// The translation service: locale choice, loading, and lookups under one process-wide mutex.
#include <loc/Localize.h>

#include <loc/LocaleName.h>
#include <loc/LocaleSetter.h>
#include <loc/TransMap.h>
#include <loc/TranslationTables.h>
#include <loc/formatLoc.h>
#include <loc/locTexts.h>
#include <loc/localeParameter.h>
#include <loc/localizeLog.h>
#include <loc/pluralCategory.h>
#include <loc/poFiles.h>
#include <loc/systemLocale.h>
#include <loc/userLocales.h>
#include <plat/BuiltinTextTable.h>
#include <plat/ConfigParameter.h>
#include <plat/Exception.h>
#include <plat/Mutex.h>
#include <plat/Translator.h>
#include <plat/keepLinked.h>
#include <plat/utf8.h>

#include <cstdlib>
#include <cstring>
#include <set>

namespace loc {

PLAT_KEEP_LINKED(locTexts);

namespace {

struct LanguageColumn {
    const char* locale;
    const char* plat::BuiltinText::*text;
};

constexpr LanguageColumn Columns[] = {
    {"en", &plat::BuiltinText::en}, {"de", &plat::BuiltinText::de}, {"es", &plat::BuiltinText::es},
    {"fr", &plat::BuiltinText::fr}, {"pt", &plat::BuiltinText::pt},
};

// Hands every built-in table to the service, which takes a language's column into its tables
// only once that language is looked up: most processes need English and one language at most.
class BuiltinTableReceiver final : public plat::BuiltinTextReceiver {
public:
    explicit BuiltinTableReceiver(Localize& localize) : localize(localize) {}

    void receive(std::span<const plat::BuiltinText> table) override {
        localize.addBuiltinTable(table);
    }

private:
    Localize& localize;
};

// plat's own texts come through this once the translation library is linked.
class LocalizeTranslator final : public plat::Translator {
public:
    const char* translate(const char* key, const char* file, int line) override {
        return Localize::instance().translate(key, file, line);
    }
    const char* translateFormat(const char* key, const char* file, int line) override {
        return Localize::instance().translateFormat(key, file, line);
    }
    const char* findTranslation(const char* key) override {
        return Localize::instance().findTranslation(key);
    }
    plat::DString formatText(const char* format, const char* text) override {
        return formatLoc(format, {text});
    }
};

LocalizeTranslator translator;
[[maybe_unused]] const bool translatorInstalled = (plat::installTranslator(translator), true);

class LocaleChangeListener : public plat::ParameterChangedCallback {
public:
    void parameterChanged(plat::ConfigParameter&, int) override { Localize::instance().refresh(); }
};

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ":") + name;
    return text;
}

// The first use fixes whether a text is a format; plain texts lose their "%%" escapes then.
void markUse(Translation& translation, bool raw, const char* key, TranslationTables& tables) {
    // The names make the assertion's text read as the rule it checks.
    constexpr Translation::State TR_RAW = Translation::TR_RAW;
    Translation::State state = translation.state;
    if (state == Translation::TR_UNUSED) {
        translation.state = raw ? Translation::TR_RAW : Translation::TR_FORMATTED;
        if (!raw && std::strchr(translation.text, '%') != nullptr)
            tables.replaceText(translation, formatLoc(translation.text, {}).c_str());
        return;
    }
    PLAT_ASSERT_INFO((raw == (state == TR_RAW)),
                     "Can't use same string as both raw and formatted - %s", key);
}

void addBuiltinString(TranslationTables& tables, const char* locale, const char* key,
                      const char* str) {
    // Unqualified, as the failure report should read.
    using plat::isValidUtf8;
    PLAT_ASSERT_INFO(isValidUtf8(str), "Bad UTF-8 in %s", key);
    tables.add(locale, key, str);
}

void reportMissing(const char* what, const char* key, const char* file, int line) {
    if (file != nullptr)
        localizeLog().error("%s for \"%s\" (%s:%d)", what, key, file, line);
    else
        localizeLog().error("%s for \"%s\"", what, key);
}

} // namespace

class Localize::State {
public:
    // Recursive: logging and formatting under the lock may come back for texts.
    plat::Mutex mutex;
    TranslationTables tables;

    void refresh();
    void setSearchDirs(const std::vector<std::string>& dirs);
    void loadNames(const std::vector<std::string>& names);
    void addBuiltinTable(std::span<const plat::BuiltinText> table);
    // The calling thread's map, or the process map, up to date with the tables.
    TransMap& currentMap();
    const char* translate(const char* key, bool raw, const char* file, int line);
    const char* translatePlural(const char* key, long count, const char* file, int line);

private:
    std::vector<std::string> chooseLocales();

    void addBuiltinColumn(const LanguageColumn& column, std::span<const plat::BuiltinText> table);

    std::vector<std::string> searchDirs;
    std::set<std::string, std::less<>> loaded;
    std::vector<std::span<const plat::BuiltinText>> builtinTables;
    // The languages whose built-in column is in the tables; kept when the search directories
    // change, since the built-in texts stay the same.
    std::set<std::string, std::less<>> builtinLanguages;
    ProcessLocale processLocale;
    // Made by the first refresh, which the first lookup runs when nothing has refreshed before.
    std::unique_ptr<TransMap> processMap;
    bool processMapLoaded = false;
    LocaleChangeListener listener;
    bool listening = false;
};

std::vector<std::string> Localize::State::chooseLocales() {
    plat::String setting = localeParameter().getValue();
    std::vector<std::string> requested = parseLocaleList(setting.c_str());
    if (requested.empty())
        processLocale.restore();
    else
        processLocale.choose(requested);
    const char* system = requested.empty() ? systemMessagesLocale() : nullptr;
    return chooseUserLocales(setting.c_str(), system, std::getenv("LANGUAGE"));
}

void Localize::State::refresh() {
    std::vector<std::string> locales = chooseLocales();
    if (!processMap || processMap->locales() != locales) {
        localizeLog().status("Locales %s", joined(locales).c_str());
        processMap = std::make_unique<TransMap>("process", std::move(locales));
    }
    // The files are read, and the built-in texts taken in, by the first lookup: a run that
    // translates nothing never reads them.
    processMapLoaded = false;
}

void Localize::State::setSearchDirs(const std::vector<std::string>& dirs) {
    if (!listening) {
        localeParameter().addCallback(&listener);
        listening = true;
    }
    // Names already looked for may have files in the new directories.
    if (dirs != searchDirs) {
        searchDirs = dirs;
        loaded.clear();
    }
    refresh();
}

void Localize::State::loadNames(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (!loaded.insert(name).second)
            continue;
        // The built-in texts first, so that ".po" files can override them.
        for (const LanguageColumn& column : Columns) {
            if (name == column.locale && builtinLanguages.insert(name).second) {
                for (std::span<const plat::BuiltinText> table : builtinTables)
                    addBuiltinColumn(column, table);
            }
        }
        loadPoFiles(name, searchDirs, tables);
    }
}

void Localize::State::addBuiltinTable(std::span<const plat::BuiltinText> table) {
    builtinTables.push_back(table);
    for (const LanguageColumn& column : Columns) {
        if (builtinLanguages.contains(column.locale))
            addBuiltinColumn(column, table);
    }
}

void Localize::State::addBuiltinColumn(const LanguageColumn& column,
                                       std::span<const plat::BuiltinText> table) {
    for (const plat::BuiltinText& text : table)
        addBuiltinString(tables, column.locale, text.key, text.*column.text);
}

TransMap& Localize::State::currentMap() {
    TransMap* map = LocaleSetter::currentMap();
    if (map == nullptr) {
        if (!processMap)
            refresh();
        map = processMap.get();
        if (!processMapLoaded) {
            // First, as loading logs, and a log line may come back for a text.
            processMapLoaded = true;
            loadNames(map->loadList());
        }
    }
    map->update(tables);
    return *map;
}

const char* Localize::State::translate(const char* key, bool raw, const char* file, int line) {
    plat::MutexLock lock(mutex);
    Translation* translation = currentMap().find(key);
    if (translation == nullptr) {
        reportMissing("Missing translation", key, file, line);
        return key;
    }
    markUse(*translation, raw, key, tables);
    return translation->text;
}

const char* Localize::State::translatePlural(const char* key, long count, const char* file,
                                             int line) {
    plat::MutexLock lock(mutex);
    for (const std::string& locale : currentMap().locales()) {
        LocaleName name(locale);
        std::string pluralKey = std::string(key) + "_" + pluralCategory(name, count);
        // The locale's own table, then its language's, where the built-in texts are.
        for (const std::string& tableName : {locale, name.language()}) {
            if (Translation* translation = tables.find(tableName, pluralKey)) {
                markUse(*translation, true, pluralKey.c_str(), tables);
                return translation->text;
            }
        }
    }
    reportMissing("Missing plural translation", key, file, line);
    return key;
}

Localize& Localize::instance() {
    static Localize* localize = [] {
        auto* created = new Localize;
        // Only once the service exists: the receiver registers the texts through it.
        static BuiltinTableReceiver receiver(*created);
        plat::BuiltinTextTable::setReceiver(receiver);
        return created;
    }();
    return *localize;
}

Localize::Localize() : state(std::make_unique<State>()) {}

Localize::~Localize() = default;

void Localize::addString(const char* locale, const char* key, const char* str) {
    PLAT_ASSERT(locale != nullptr && key != nullptr && str != nullptr);
    plat::MutexLock lock(state->mutex);
    addBuiltinString(state->tables, locale, key, str);
}

void Localize::addBuiltinTable(std::span<const plat::BuiltinText> table) {
    plat::MutexLock lock(state->mutex);
    state->addBuiltinTable(table);
}

const char* Localize::translate(const char* key, const char* file, int line) {
    return key ? state->translate(key, false, file, line) : "";
}

const char* Localize::translateFormat(const char* key, const char* file, int line) {
    return key ? state->translate(key, true, file, line) : "";
}

const char* Localize::translatePlural(const char* key, long count, const char* file, int line) {
    return key ? state->translatePlural(key, count, file, line) : "";
}

const char* Localize::findTranslation(const char* key) {
    if (key == nullptr)
        return nullptr;
    plat::MutexLock lock(state->mutex);
    Translation* translation = state->currentMap().find(key);
    return translation ? translation->text : nullptr;
}

void Localize::setSearchDirs(const std::vector<std::string>& dirs) {
    plat::MutexLock lock(state->mutex);
    state->setSearchDirs(dirs);
}

void Localize::refresh() {
    plat::MutexLock lock(state->mutex);
    state->refresh();
}

std::vector<std::string> Localize::locales() {
    plat::MutexLock lock(state->mutex);
    return state->currentMap().locales();
}

std::unique_ptr<TransMap> Localize::makeThreadMap(const std::vector<std::string>& locales) {
    plat::MutexLock lock(state->mutex);
    auto map = std::make_unique<TransMap>("thread", locales);
    state->loadNames(map->loadList());
    map->update(state->tables);
    return map;
}

} // namespace loc
