// The "ipc" log destination: queues messages for the parent process and sends them over a
// message-IPC connection once the peer has announced the level it wants.
#pragma once

#include <plat/DString.h>
#include <plat/LogDest.h>
#include <plat/Mutex.h>
#include <plat/String.h>

#include <cstddef>
#include <vector>

namespace plat {

class LogDestIpc : public LogDest {
public:
    // The message-IPC side of the destination. The connection that attaches itself registers a
    // reader for "setLogLevel" whose 32-bit big-endian level it passes to setPeerLevel().
    class Channel {
    public:
        virtual ~Channel() = default;
        // Writes one "logMsg" message: the level as 32-bit big-endian, then source and text as
        // message-IPC strings.
        virtual void sendLogMessage(int level, const char* source, const char* text) = 0;
        // Pushes the written messages to the peer.
        virtual void flushMessages() = 0;
        // Asks the I/O thread to call flush(); may be called from any thread.
        virtual void wakeSender() = 0;
    };

    struct Entry {
        int level;
        String source;
        DString text;
    };

    static constexpr std::size_t Capacity = 1000;
    static constexpr std::size_t MaxTextBytes = 1024;

    // The process's destination, created on first use and never destroyed.
    static LogDestIpc& instance();
    // The destination when it exists; never creates it (for the assertion path).
    static LogDestIpc* existing();

    // Queues the message when its level is within the level cap. Past Capacity one marker entry
    // is queued and later messages are dropped.
    void write(int level, const char* sourceName, const char* message) override;

    // Null detaches. A new connection is not ready until its peer announces its level. Attach and
    // detach on the thread that flushes.
    void attach(Channel* channel);
    // The peer's "setLogLevel": caps the level, marks the destination ready, lets every source
    // recompute its level and sends the queue.
    void setPeerLevel(int level);
    // Sent sources read "<prefix>: <source>"; null for none.
    void setSourcePrefix(const char* prefix);
    // Sends every queued message when ready; otherwise keeps them.
    void flush();

    bool isReady() const;
    std::vector<Entry> queued() const;

private:
    LogDestIpc();

    mutable Mutex mutex;
    // Keeps the messages of concurrent flushes in order.
    Mutex sendMutex;
    std::vector<Entry> queue;
    Channel* channel = nullptr;
    bool ready = false;
    String sourcePrefix;
};

} // namespace plat
