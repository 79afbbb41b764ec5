// A log destination for tests that keeps every message it is given, from any thread.
#pragma once

#include <plat/LogDest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace plattest {

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

    // Called after each message is recorded, outside the recorder's lock.
    std::function<void(const Message&)> onWrite;

private:
    mutable std::mutex mutex;
    std::vector<Message> received;
    bool active = true;
};

} // namespace plattest
