// Log destinations for tests that keep every message they are given, from any thread: one that
// tests route to by name, and one that routes chosen sources to itself while it lives.
#pragma once

#include <plat/LogDest.h>

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

class RecordingLogDest : public plat::LogDest {
public:
    struct Message {
        int level;
        std::string source;
        std::string text;
    };

    // A named destination can be routed to by name.
    explicit RecordingLogDest(const char* name = nullptr) : plat::LogDest(name) {}

    void write(int level, const char* sourceName, const char* message) override;
    bool isActive() const override { return active; }

    void setActive(bool value) { active = value; }
    std::vector<Message> messages() const;
    std::vector<std::string> texts() const;
    // The level of the first message equal to text, or -1 when there is none.
    int levelOf(std::string_view text) const;
    bool contains(std::string_view text) const { return levelOf(text) >= 0; }
    // Every message on a line of its own, for failure output.
    std::string dump() const;

    // Called after each message is recorded, outside the recorder's lock.
    std::function<void(const Message&)> onWrite;

private:
    mutable std::mutex mutex;
    std::vector<Message> received;
    bool active = true;
};

// Routes the sources that match a pattern, up to a level, here alone until destroyed.
class LogRecording : public RecordingLogDest {
public:
    explicit LogRecording(const char* sources, int level = 110);
    ~LogRecording() override;
};

} // namespace testsupport
