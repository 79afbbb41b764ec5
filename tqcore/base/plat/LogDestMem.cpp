// The memory store of early log messages and its replay.
#include <plat/LogDestMem.h>

#include <plat/ScopedFlag.h>

#include <algorithm>
#include <cstring>

namespace plat {

namespace {

constexpr const char* StoreSource = "LogDestMem";
constexpr const char* MarkerText = "Too many messages, discarding further ones";

} // namespace

LogDestMem& LogDestMem::instance() {
    // Never destroyed: static objects may still log while the process exits.
    static LogDestMem* store = new LogDestMem;
    return *store;
}

LogDestMem::LogDestMem() : LogDest(nullptr) {}

void LogDestMem::write(int level, const char* sourceName, const char* message) {
    MutexLock lock(mutex);
    // A destination that logs while it receives a replay would feed the store it is read from.
    if (replaying)
        return;
    if (stored.size() < Capacity) {
        stored.push_back({level, String(sourceName), DString(message)});
        return;
    }
    if (!holdsMarker())
        stored.push_back({0, String(StoreSource), DString(MarkerText)});
}

void LogDestMem::replay(LogDest& dest, int level) {
    MutexLock lock(mutex);
    bool any = std::any_of(stored.begin(), stored.end(),
                           [level](const Record& record) { return record.level <= level; });
    if (!any)
        return;
    ScopedFlag running(replaying);
    dest.write(level, StoreSource, "Start replaying stored messages");
    for (const Record& record : stored)
        if (record.level <= level)
            dest.write(record.level, record.source.c_str(), record.text.c_str());
    dest.write(level, StoreSource, "Finished replaying stored messages");
}

void LogDestMem::discardUpTo(int level) {
    MutexLock lock(mutex);
    std::erase_if(stored, [level](const Record& record) { return record.level <= level; });
}

void LogDestMem::clear() {
    MutexLock lock(mutex);
    stored.clear();
}

std::vector<LogDestMem::Record> LogDestMem::records() const {
    MutexLock lock(mutex);
    return stored;
}

bool LogDestMem::holdsMarker() const {
    return stored.size() > Capacity;
}

} // namespace plat
