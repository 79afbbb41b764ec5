// The list of named log destinations, created on first use so that static destinations of any
// source file may register themselves.
#include <plat/LogDest.h>

#include <plat/LogRouting.h>
#include <plat/Mutex.h>
#include <plat/stringUtil.h>

namespace plat {

namespace {

struct NamedDests {
    Mutex mutex;
    LogDest* head = nullptr;
};

// Never destroyed: destinations may still be written to while the process exits.
NamedDests& namedDests() {
    static NamedDests* dests = new NamedDests;
    return *dests;
}

} // namespace

LogDest::LogDest(const char* name) : destName(name) {
    if (!name)
        return;
    NamedDests& dests = namedDests();
    MutexLock lock(dests.mutex);
    next = dests.head;
    dests.head = this;
}

LogDest::~LogDest() {
    LogRouting::instance().forgetDest(this);
    if (!destName)
        return;
    NamedDests& dests = namedDests();
    MutexLock lock(dests.mutex);
    for (LogDest** link = &dests.head; *link; link = &(*link)->next) {
        if (*link == this) {
            *link = next;
            break;
        }
    }
}

LogDest* LogDest::find(const char* name) {
    if (!name)
        return nullptr;
    NamedDests& dests = namedDests();
    MutexLock lock(dests.mutex);
    for (LogDest* dest = dests.head; dest; dest = dest->next)
        if (equalsNoCase(dest->destName, name))
            return dest;
    return nullptr;
}

std::vector<LogDest*> LogDest::named() {
    NamedDests& dests = namedDests();
    MutexLock lock(dests.mutex);
    std::vector<LogDest*> all;
    for (LogDest* dest = dests.head; dest; dest = dest->next)
        all.push_back(dest);
    return all;
}

} // namespace plat
