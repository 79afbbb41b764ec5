// Log sources writing to standard error in the full line format
// "<priority> time host program[pid]: source: message".
#include <plat/Log.h>

#include <plat/DString.h>
#include <plat/fixedText.h>
#include <plat/logEscape.h>
#include <plat/stringUtil.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

namespace plat {

namespace {

constexpr std::size_t MessageCapacity = 4096;
constexpr const char* DefaultRouting = "*:stderr:10";

int severityOf(int level) {
    if (level <= 0)
        return 3;
    if (level <= 5)
        return 4;
    if (level <= 10)
        return 5;
    if (level <= 30)
        return 6;
    return 7;
}

// '*' matches any run of characters; everything else matches without regard to case.
bool patternMatches(const char* pattern, const char* name) {
    if (*pattern == '\0')
        return *name == '\0';
    if (*pattern == '*')
        return patternMatches(pattern + 1, name) || (*name && patternMatches(pattern, name + 1));
    return *name && std::tolower((unsigned char)*pattern) == std::tolower((unsigned char)*name) &&
           patternMatches(pattern + 1, name + 1);
}

std::string hostName() {
    char buffer[257] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0)
        return "";
    if (char* dot = std::strchr(buffer, '.'))
        *dot = '\0';
    return buffer;
}

void writeAll(int fd, const char* text, std::size_t length) {
    while (length > 0) {
        ssize_t written = ::write(fd, text, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        text += written;
        length -= std::size_t(written);
    }
}

} // namespace

class LogRouting {
public:
    // Never destroyed: static objects may still log while the process exits.
    static LogRouting& instance() {
        static LogRouting* routing = new LogRouting;
        return *routing;
    }

    void add(LogSrc* source) {
        std::lock_guard lock(mutex);
        source->next = sources;
        sources = source;
        source->maxLevel = levelFor(source->sourceName);
    }

    void setRouting(const char* text) {
        std::lock_guard lock(mutex);
        routing = text ? text : DefaultRouting;
        for (LogSrc* source = sources; source; source = source->next)
            source->maxLevel = levelFor(source->sourceName);
    }

    std::vector<std::string> sourceNames() {
        std::lock_guard lock(mutex);
        std::vector<std::string> names;
        for (LogSrc* source = sources; source; source = source->next)
            names.emplace_back(source->sourceName);
        return names;
    }

    void setProgramName(const char* name) {
        std::lock_guard lock(mutex);
        programName = name ? name : "";
    }

    void write(int level, const char* source, const char* message) {
        std::lock_guard lock(mutex);
        struct timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        struct tm utc;
        gmtime_r(&now.tv_sec, &utc);
        char line[MessageCapacity + 512] = {};
        boundedAppendf(line, sizeof line,
                       "<%d> %04d-%02d-%02dT%02d:%02d:%02d.%03dZ %s %s[%lld]: %s: %s",
                       8 + severityOf(level), utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday,
                       utc.tm_hour, utc.tm_min, utc.tm_sec, int(now.tv_nsec / 1000000),
                       host.c_str(), programName.c_str(), (long long)getpid(), source, message);
        std::size_t length = std::strlen(line);
        line[length] = '\n';
        writeAll(STDERR_FILENO, line, length + 1);
    }

private:
    LogRouting() : routing(DefaultRouting), host(hostName()) {}

    // Parses "<pattern>:stderr:<level>" elements; the highest matching level wins.
    int levelFor(const char* name) const {
        int level = -1;
        std::size_t start = 0;
        while (start <= routing.size()) {
            std::size_t comma = routing.find(',', start);
            std::string element = routing.substr(start, comma - start);
            start = comma == std::string::npos ? routing.size() + 1 : comma + 1;
            std::size_t first = element.find(':');
            std::size_t second = element.find(':', first + 1);
            if (first == std::string::npos || second == std::string::npos)
                continue;
            std::string pattern = element.substr(0, first);
            std::string target = element.substr(first + 1, second - first - 1);
            std::string levelText = element.substr(second + 1);
            if (strcasecmp(target.c_str(), "stderr") != 0 || levelText.empty() ||
                levelText.find_first_not_of("0123456789") != std::string::npos)
                continue;
            if (patternMatches(pattern.c_str(), name))
                level = std::max(level, std::atoi(levelText.c_str()));
        }
        return level;
    }

    std::recursive_mutex mutex;
    LogSrc* sources = nullptr;
    std::string routing;
    std::string programName;
    std::string host;
};

LogSrc::LogSrc(const char* name) : sourceName(name), maxLevel(-1), next(nullptr) {
    LogRouting::instance().add(this);
}

void LogSrc::writeV(int messageLevel, const char* format, va_list args) {
    if (!enabled(messageLevel))
        return;
    char message[MessageCapacity] = {};
    boundedAppendf(message, sizeof message, format, args);
    if (needsLogEscape(message)) {
        // Keeps each message on one line and free of terminal control sequences.
        DString escaped = logEscape(message);
        LogRouting::instance().write(messageLevel, sourceName, escaped.c_str());
        return;
    }
    LogRouting::instance().write(messageLevel, sourceName, message);
}

void LogSrc::write(int messageLevel, const char* format, ...) {
    va_list args;
    va_start(args, format);
    writeV(messageLevel, format, args);
    va_end(args);
}

#define PLAT_LOG_AT_LEVEL(function, fixedLevel)                                                    \
    void LogSrc::function(const char* format, ...) {                                               \
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
        int length = lineEnd ? int(lineEnd - text) : int(std::strlen(text));
        write(messageLevel, "%.*s", length, text);
        if (!lineEnd)
            return;
        text = lineEnd + 1;
    }
}

void setLogOverride(const char* routing) {
    LogRouting::instance().setRouting(routing);
}

void setLogProgramName(const char* name) {
    LogRouting::instance().setProgramName(name);
}

void flushLogQueues() {}

void listLogSources(int, FILE* out) {
    std::vector<std::string> names = LogRouting::instance().sourceNames();
    std::sort(names.begin(), names.end(), [](const std::string& first, const std::string& second) {
        return compareNoCase(first.c_str(), second.c_str()) < 0;
    });
    for (const std::string& name : names)
        std::fprintf(out, "  %s\n", name.c_str());
}

void listLogDestinations(FILE* out) {
    std::fprintf(out, "  %s\n", "stderr");
}

} // namespace plat
