// Routing of log sources to destinations by the Log parameter (or an override), the replay of
// the memory store once destinations are known, and the per-source levels.
#include <plat/LogRouting.h>

#include <plat/ConfigParameter.h>
#include <plat/Log.h>
#include <plat/LogDest.h>
#include <plat/LogDestMem.h>
#include <plat/StringParameter.h>
#include <plat/standardErrorReport.h>
#include <plat/stringUtil.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <map>
#include <string_view>

namespace plat {

namespace {

StringParameter logParameter("Log", DescriptionKey("plat_param_log"), "");

// Routing follows every change of Log. Constructed after the parameter, in this same file.
class LogParameterListener : public ParameterChangedCallback {
public:
    LogParameterListener() { logParameter.addCallback(this); }
    void parameterChanged(ConfigParameter&, int) override { LogRouting::instance().apply(); }
};

LogParameterListener logParameterListener;

char lowerCase(char c) {
    return char(std::tolower(static_cast<unsigned char>(c)));
}

std::vector<std::string> splitFields(const std::string& element) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        std::size_t colon = element.find(':', start);
        fields.push_back(element.substr(start, colon - start));
        if (colon == std::string::npos)
            return fields;
        start = colon + 1;
    }
}

// A whole non-negative decimal number that fits the level type.
bool parseLevel(const std::string& text, int& level) {
    if (text.empty())
        return false;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
        if (value > INT_MAX)
            return false;
    }
    level = int(value);
    return true;
}

} // namespace

std::atomic<bool> LogRouting::initialised{false};

LogRouting& LogRouting::instance() {
    static LogRouting* routing = new LogRouting;
    return *routing;
}

void LogRouting::addSource(LogSrc* source) {
    MutexLock lock(mutex);
    source->next = sources;
    sources = source;
    routeSource(*source);
    source->recomputeLevel();
}

void LogRouting::removeSource(LogSrc* source) {
    MutexLock lock(mutex);
    for (LogSrc** link = &sources; *link; link = &(*link)->next) {
        if (*link == source) {
            *link = source->next;
            return;
        }
    }
}

void LogRouting::setOverride(const char* text) {
    {
        MutexLock lock(mutex);
        overridden = text != nullptr;
        overrideText.assign(text);
    }
    apply();
}

void LogRouting::apply() {
    MutexLock lock(mutex);
    String text = overridden ? overrideText : logParameter.getValue();
    elements = parse(text.get());
    for (LogSrc* source = sources; source; source = source->next)
        routeSource(*source);
    replayStore();
    for (LogSrc* source = sources; source; source = source->next)
        source->recomputeLevel();
}

void LogRouting::initialise() {
    MutexLock lock(mutex);
    if (initialised.exchange(true))
        return;
    replayStore();
    for (LogSrc* source = sources; source; source = source->next)
        source->recomputeLevel();
    LogDestMem::instance().clear();
}

void LogRouting::recomputeLevels() {
    MutexLock lock(mutex);
    for (LogSrc* source = sources; source; source = source->next)
        source->recomputeLevel();
}

void LogRouting::forgetDest(LogDest* dest) {
    MutexLock lock(mutex);
    std::erase_if(elements, [dest](const Element& element) { return element.dest == dest; });
    for (LogSrc* source = sources; source; source = source->next) {
        const LogRouteTable* table = source->routes();
        if (!table)
            continue;
        LogRouteTable kept;
        std::copy_if(table->begin(), table->end(), std::back_inserter(kept),
                     [dest](const LogRoute& route) { return route.dest != dest; });
        if (kept.size() == table->size())
            continue;
        source->routeTable.store(kept.empty() ? nullptr : intern(kept), std::memory_order_release);
        source->recomputeLevel();
    }
}

std::vector<std::string> LogRouting::sourceNames() {
    std::vector<std::string> names;
    {
        MutexLock lock(mutex);
        for (LogSrc* source = sources; source; source = source->next)
            names.emplace_back(source->name());
    }
    std::sort(names.begin(), names.end(), [](const std::string& first, const std::string& second) {
        return compareNoCase(first.c_str(), second.c_str()) < 0;
    });
    return names;
}

bool LogRouting::patternMatches(const char* pattern, const char* name) {
    // Backtracks only to the latest '*', which is enough when '*' is the only wildcard, and keeps
    // the work proportional to the product of the lengths.
    const char* star = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            starName = name;
        } else if (*pattern && lowerCase(*pattern) == lowerCase(*name)) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

std::vector<LogRouting::Element> LogRouting::parse(const char* text) const {
    std::vector<Element> parsed;
    std::string_view all(text ? text : "");
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t comma = std::min(all.find(',', start), all.size());
        std::string element(all.substr(start, comma - start));
        start = comma + 1;
        // Empty elements (a trailing comma, an empty text) route nothing and are no mistake.
        if (element.empty())
            continue;
        std::vector<std::string> fields = splitFields(element);
        int level;
        if (fields.size() != 3 || !parseLevel(fields[2], level)) {
            reportOnStandardError("Failed to parse log param element: '%s'\n", element.c_str());
            continue;
        }
        LogDest* dest = lookupDest(fields[1].c_str());
        if (!dest) {
            reportOnStandardError("No LogDest found: '%s'\n", fields[1].c_str());
            continue;
        }
        parsed.push_back({fields[0], dest, level});
    }
    return parsed;
}

void LogRouting::routeSource(LogSrc& source) {
    // A later element for the same destination replaces the level of an earlier one.
    std::map<LogDest*, int> levels;
    for (const Element& element : elements)
        if (patternMatches(element.pattern.c_str(), source.name()))
            levels[element.dest] = element.level;
    LogRouteTable table;
    for (const auto& [dest, level] : levels)
        table.push_back({dest, level});
    source.routeTable.store(table.empty() ? nullptr : intern(table), std::memory_order_release);
}

void LogRouting::replayStore() {
    LogDestMem& store = LogDestMem::instance();
    int highest = -1;
    for (const Element& element : elements) {
        if (element.pattern != "*" || !element.dest->isActive())
            continue;
        store.replay(*element.dest, element.level);
        highest = std::max(highest, element.level);
    }
    if (highest >= 0)
        store.discardUpTo(highest);
}

const LogRouteTable* LogRouting::intern(const LogRouteTable& table) {
    return &*tables.insert(table).first;
}

} // namespace plat
