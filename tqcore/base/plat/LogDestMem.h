// The memory store: keeps the messages that no destination took (mostly those logged before the
// routing is known) and replays them to a destination once it is.
#pragma once

#include <plat/DString.h>
#include <plat/LogDest.h>
#include <plat/Mutex.h>
#include <plat/String.h>

#include <cstddef>
#include <vector>

namespace plat {

class LogDestMem : public LogDest {
public:
    struct Record {
        int level;
        String source;
        DString text;
    };

    static constexpr std::size_t Capacity = 500;

    // The process's store, created on first use and never destroyed.
    static LogDestMem& instance();

    LogDestMem();

    // Stores the message. Past Capacity one marker record is stored and later messages are
    // dropped; nothing is stored while a replay runs.
    void write(int level, const char* sourceName, const char* message) override;

    // Sends dest every record at or below level, in order, between a start and a finish line
    // written at level; nothing at all when no record qualifies.
    void replay(LogDest& dest, int level);
    // Forgets the records at or below level.
    void discardUpTo(int level);
    void clear();

    std::vector<Record> records() const;

private:
    bool holdsMarker() const;

    mutable Mutex mutex;
    std::vector<Record> stored;
    bool replaying = false;
};

} // namespace plat
