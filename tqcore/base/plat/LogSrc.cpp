// Log sources: the cheap level check, formatting and escaping of messages, and their dispatch
// along the routes that the routing gave the source.
#include <plat/LogSrc.h>

#include <plat/DString.h>
#include <plat/Exception.h>
#include <plat/LogDest.h>
#include <plat/LogDestMem.h>
#include <plat/LogRouting.h>
#include <plat/fixedText.h>
#include <plat/logEscape.h>

#include <algorithm>
#include <cstring>
#include <exception>

namespace plat {

LogSrc::LogSrc(const char* name)
    : sourceName(name), maxLevel(Everything), routeTable(nullptr), constructed(true) {
    LogRouting::instance().addSource(this);
}

LogSrc::~LogSrc() {
    LogRouting::instance().removeSource(this);
}

void LogSrc::recomputeLevel() {
    if (!LogRouting::isInitialised()) {
        maxLevel.store(Everything, std::memory_order_relaxed);
        return;
    }
    int highest = NoRoute;
    if (const LogRouteTable* table = routes())
        for (const LogRoute& route : *table)
            highest = std::max(highest, std::min(route.level, route.dest->levelCap()));
    maxLevel.store(highest, std::memory_order_relaxed);
}

void LogSrc::writeV(int messageLevel, const char* format, va_list args) {
    if (messageLevel > level())
        return;
    PLAT_ASSERT(constructed);
    char message[MessageCapacity];
    message[0] = '\0';
    boundedAppendf(message, sizeof message, format, args);
    try {
        if (!needsLogEscape(message)) {
            dispatch(messageLevel, message);
            return;
        }
        // Keeps every message on one line and free of terminal control sequences.
        DString escaped = logEscape(message);
        dispatch(messageLevel, escaped.c_str());
    } catch (const Exception&) {
        // Logging is never the reason a caller fails; destinations report their own trouble.
    } catch (const std::exception&) {
    }
}

void LogSrc::write(int messageLevel, const char* format, ...) {
    if (messageLevel > level())
        return;
    va_list args;
    va_start(args, format);
    writeV(messageLevel, format, args);
    va_end(args);
}

#define PLAT_LOG_AT_LEVEL(function, fixedLevel)                                                    \
    void LogSrc::function(const char* format, ...) {                                               \
        if (fixedLevel > level())                                                                  \
            return;                                                                                \
        va_list args;                                                                              \
        va_start(args, format);                                                                    \
        writeV(fixedLevel, format, args);                                                          \
        va_end(args);                                                                              \
    }
PLAT_LOG_AT_LEVEL(error, Error)
PLAT_LOG_AT_LEVEL(status, Status)
PLAT_LOG_AT_LEVEL(debug, Debug)
PLAT_LOG_AT_LEVEL(verbose, Verbose)
#undef PLAT_LOG_AT_LEVEL

void LogSrc::writeLines(int messageLevel, const char* text) {
    if (!enabled(messageLevel) || text == nullptr)
        return;
    while (true) {
        const char* lineEnd = std::strchr(text, '\n');
        std::size_t length = lineEnd ? std::size_t(lineEnd - text) : std::strlen(text);
        // A line longer than a message is cut by write() anyway.
        int shown = int(std::min<std::size_t>(length, MessageCapacity));
        write(messageLevel, "%.*s", shown, text);
        // A final line feed ends the last line; it does not start an empty one.
        if (!lineEnd || lineEnd[1] == '\0')
            return;
        text = lineEnd + 1;
    }
}

void LogSrc::dispatch(int messageLevel, const char* message) {
    const LogRouteTable* table = routes();
    bool routed = table && !table->empty();
    if (!routed && LogRouting::isInitialised())
        return;
    bool written = false;
    if (routed) {
        for (const LogRoute& route : *table) {
            if (messageLevel > route.level || !route.dest->isActive())
                continue;
            route.dest->write(messageLevel, sourceName, message);
            written = true;
        }
    }
    if (!written)
        LogDestMem::instance().write(messageLevel, sourceName, message);
}

} // namespace plat
