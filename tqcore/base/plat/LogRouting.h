// The routing of log sources to destinations: the process-wide list of sources, the routing text
// ("<log>:<target>:<level>[,...]", from the Log parameter or an override) and its application,
// and the switch from early (store everything) to initialised logging.
#pragma once

#include <plat/LogSrc.h>
#include <plat/Mutex.h>
#include <plat/NonCopyable.h>
#include <plat/String.h>

#include <atomic>
#include <set>
#include <string>
#include <vector>

namespace plat {

class LogDest;

class LogRouting : NonCopyable {
public:
    // Created on first use (sources register during static construction) and never destroyed.
    static LogRouting& instance();
    static bool isInitialised() { return initialised.load(std::memory_order_acquire); }

    // A source added after the routing was applied is routed by the elements in force.
    void addSource(LogSrc* source);
    void removeSource(LogSrc* source);

    // Routes by text instead of the Log parameter; null returns to the parameter. Re-applies.
    void setOverride(const char* text);
    // Parses the routing text in force, reporting bad elements on standard error, routes every
    // source, replays the memory store to the destinations of "*" elements and recomputes the
    // source levels.
    void apply();
    // Once: marks logging initialised, replays the memory store as apply() does, recomputes the
    // levels and empties the store.
    void initialise();
    // After a destination's level cap changed.
    void recomputeLevels();
    // Drops every route to a destination that is going away.
    void forgetDest(LogDest* dest);

    // Every source name, sorted without regard to case.
    std::vector<std::string> sourceNames();

    // Whether pattern, in which '*' matches any run of characters, matches name without regard
    // to case.
    static bool patternMatches(const char* pattern, const char* name);

private:
    struct Element {
        std::string pattern;
        LogDest* dest;
        int level;
    };

    LogRouting() = default;

    std::vector<Element> parse(const char* text) const;
    void routeSource(LogSrc& source);
    void replayStore();
    // The shared copy of an equal table, kept until exit.
    const LogRouteTable* intern(const LogRouteTable& table);

    static std::atomic<bool> initialised;

    Mutex mutex;
    LogSrc* sources = nullptr;
    std::vector<Element> elements;
    bool overridden = false;
    String overrideText;
    std::set<LogRouteTable> tables;
};

} // namespace plat
