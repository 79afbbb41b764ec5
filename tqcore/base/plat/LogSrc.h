// Named log sources: every component writes its diagnostics through one, at a numeric level
// (0 error, 1-5 warning, 6-10 notice, 30 status, 100 debug, 110 verbose debug).
#pragma once

#include <plat/NonCopyable.h>

#include <atomic>
#include <climits>
#include <compare>
#include <cstdarg>
#include <vector>

namespace plat {

class LogDest;

// One route of a source: messages up to level go to the destination.
struct LogRoute {
    LogDest* dest;
    int level;

    auto operator<=>(const LogRoute&) const = default;
};

// Ordered by destination. Tables are immutable once a source refers to them and live until
// exit, so that a thread that is writing never sees one change or disappear under it.
using LogRouteTable = std::vector<LogRoute>;

class LogSrc : NonCopyable {
public:
    // name must outlive the source (a literal).
    explicit LogSrc(const char* name);
    virtual ~LogSrc();
    // The highest level any route accepts, each capped by its destination's level cap; -1
    // without routes. Until logging is initialised every level is accepted, so that early
    // messages reach the memory store.
    virtual void recomputeLevel();

    const char* name() const { return sourceName; }
    // Safe to read from any thread while the routing changes.
    int level() const { return maxLevel.load(std::memory_order_relaxed); }
    bool enabled(int messageLevel) const { return messageLevel <= level(); }

    // Messages are cut to 4096 bytes on a character boundary and log-escaped. Nothing is formatted
    // when the level is above level(). Logging never throws.
    void write(int messageLevel, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void writeV(int messageLevel, const char* format, va_list args)
        __attribute__((format(printf, 3, 0)));
    void error(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void status(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void debug(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void verbose(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Writes each line of text as its own message.
    void writeLines(int messageLevel, const char* text);

    // The routes the routing last gave this source; null when it has none.
    const LogRouteTable* routes() const { return routeTable.load(std::memory_order_acquire); }
    // The next source in the process-wide list (newest first).
    LogSrc* nextSource() const { return next; }

    static constexpr int Error = 0;
    static constexpr int Status = 30;
    static constexpr int Debug = 100;
    static constexpr int Verbose = 110;
    static constexpr int Everything = INT_MAX;
    static constexpr int NoRoute = -1;
    static constexpr int MessageCapacity = 4096;

private:
    friend class LogRouting;

    // Hands one formatted, escaped message to the routed destinations, or to the memory store
    // when none of them took it.
    void dispatch(int messageLevel, const char* message);

    const char* sourceName;
    std::atomic<int> maxLevel;
    std::atomic<const LogRouteTable*> routeTable;
    // Guarded by the routing's mutex.
    LogSrc* next = nullptr;
    // False in a source that is used before its static constructor has run.
    bool constructed;
};

} // namespace plat
