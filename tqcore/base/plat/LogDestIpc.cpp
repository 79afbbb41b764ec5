// The IPC log destination's queue, its level cap and the hand-over to the message-IPC channel.
#include <plat/LogDestIpc.h>

#include <plat/LogRouting.h>
#include <plat/fixedText.h>

#include <atomic>

namespace plat {

namespace {

constexpr const char* QueueSource = "LogDestIpc";
constexpr const char* MarkerText = "Too many messages, discarding further ones";

std::atomic<LogDestIpc*> created{nullptr};

} // namespace

LogDestIpc& LogDestIpc::instance() {
    // Never destroyed: the assertion path may flush it while the process exits.
    static LogDestIpc* dest = new LogDestIpc;
    return *dest;
}

LogDestIpc* LogDestIpc::existing() {
    return created.load(std::memory_order_acquire);
}

LogDestIpc::LogDestIpc() : LogDest("ipc") {
    created.store(this, std::memory_order_release);
}

void LogDestIpc::write(int level, const char* sourceName, const char* message) {
    if (level > levelCap())
        return;
    Channel* wake = nullptr;
    {
        MutexLock lock(mutex);
        if (queue.size() < Capacity)
            queue.push_back({level, String(sourceName), DString(message)});
        else if (queue.size() == Capacity)
            queue.push_back({0, String(QueueSource), DString(MarkerText)});
        else
            return;
        if (channel && ready)
            wake = channel;
    }
    if (wake)
        wake->wakeSender();
}

void LogDestIpc::attach(Channel* newChannel) {
    MutexLock lock(mutex);
    channel = newChannel;
    ready = false;
}

void LogDestIpc::setPeerLevel(int level) {
    {
        MutexLock lock(mutex);
        setLevelCap(level);
        ready = true;
    }
    LogRouting::instance().recomputeLevels();
    flush();
}

void LogDestIpc::setSourcePrefix(const char* prefix) {
    MutexLock lock(mutex);
    sourcePrefix.assign(prefix);
}

void LogDestIpc::flush() {
    // Sending happens outside the queue's lock: a channel that logs while it sends must not hold
    // it, or a replay into this destination could wait for it in the opposite order.
    MutexLock sending(sendMutex);
    std::vector<Entry> entries;
    Channel* target;
    String prefix;
    {
        MutexLock lock(mutex);
        if (!ready || !channel)
            return;
        entries.swap(queue);
        target = channel;
        prefix = sourcePrefix;
    }
    for (const Entry& entry : entries) {
        DString source;
        if (prefix.isNull())
            source.assign(entry.source.c_str());
        else
            source.format("%s: %s", prefix.c_str(), entry.source.c_str());
        char text[MaxTextBytes + 1] = {};
        boundedAppend(text, sizeof text, entry.text.c_str());
        target->sendLogMessage(entry.level, source.c_str(), text);
    }
    target->flushMessages();
}

bool LogDestIpc::isReady() const {
    MutexLock lock(mutex);
    return ready;
}

std::vector<LogDestIpc::Entry> LogDestIpc::queued() const {
    MutexLock lock(mutex);
    return queue;
}

} // namespace plat
