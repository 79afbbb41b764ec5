// Log destinations: where routed messages are written. Named destinations are kept in a
// process-wide list so that the routing text can name them.
#pragma once

#include <plat/NonCopyable.h>

#include <atomic>
#include <climits>
#include <vector>

namespace plat {

class LogDest : NonCopyable {
public:
    // A null name keeps the destination out of the list: the routing cannot name it. The name
    // must outlive the destination (a literal).
    explicit LogDest(const char* name);
    // Routes to the destination are dropped first. A destination must not be destroyed while
    // another thread may still write to it.
    virtual ~LogDest();
    // Writes one message; called from any thread.
    virtual void write(int level, const char* sourceName, const char* message) = 0;
    // An inactive destination is passed over by the dispatch and the replay.
    virtual bool isActive() const { return true; }

    // Null for an unnamed destination.
    const char* name() const { return destName; }
    // Sources routed here write at most this level.
    int levelCap() const { return cap.load(std::memory_order_relaxed); }
    void setLevelCap(int level) { cap.store(level, std::memory_order_relaxed); }

    // The named destination, without regard to case; null when there is none.
    static LogDest* find(const char* name);
    // Every named destination, newest first.
    static std::vector<LogDest*> named();

private:
    const char* destName;
    std::atomic<int> cap{INT_MAX};
    LogDest* next = nullptr;
};

} // namespace plat
