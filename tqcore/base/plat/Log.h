// Named log sources. Every component writes diagnostics through a LogSrc at a numeric level
// (0 error, 1-5 warning, 6-10 notice, 30 status, 100 debug, 110 verbose debug).
//
// Until configurable routing and destinations exist, messages go to standard error in the full
// line format, routed by setLogOverride() (default "*:stderr:10").
#pragma once

#include <plat/NonCopyable.h>

#include <cstdarg>
#include <cstdio>

namespace plat {

class LogSrc : NonCopyable {
public:
    explicit LogSrc(const char* name);

    const char* name() const { return sourceName; }
    // The highest level any route of this source accepts; -1 when it has none.
    int level() const { return maxLevel; }
    bool enabled(int messageLevel) const { return messageLevel <= maxLevel; }

    void write(int messageLevel, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void writeV(int messageLevel, const char* format, va_list args)
        __attribute__((format(printf, 3, 0)));
    void error(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void status(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void debug(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void verbose(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Writes each line of text as its own message.
    void writeLines(int messageLevel, const char* text);

    static constexpr int Error = 0;
    static constexpr int Status = 30;
    static constexpr int Debug = 100;
    static constexpr int Verbose = 110;

private:
    friend class LogRouting;

    const char* sourceName;
    int maxLevel;
    LogSrc* next;
};

// Replaces the routing text ("<log>:<target>:<level>[,...]"); null returns to "*:stderr:10".
void setLogOverride(const char* routing);

// The program name in full log lines.
void setLogProgramName(const char* name);

// Delivers queued messages before the process aborts.
void flushLogQueues();

// The listings of advanced usage output: every log source name, and every destination name that
// the routing text can name.
void listLogSources(int width, FILE* out);
void listLogDestinations(FILE* out);

} // namespace plat
