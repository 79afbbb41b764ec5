// Test support: collects what the "Localize" log source writes while the capture lives.
#pragma once

#include <plat/LogDest.h>

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace loctest {

struct LoggedMessage {
    int level;
    std::string text;
};

class LogCapture : public plat::LogDest {
public:
    // Routes the Localize source, up to level, here alone.
    explicit LogCapture(int level = 110);
    ~LogCapture() override;

    void write(int level, const char* sourceName, const char* message) override;

    std::vector<LoggedMessage> messages() const;
    // The level of the first message equal to text, or -1 when there is none.
    int levelOf(std::string_view text) const;
    bool contains(std::string_view text) const { return levelOf(text) >= 0; }
    // Every message on a line of its own, for failure output.
    std::string dump() const;

private:
    mutable std::mutex mutex;
    std::vector<LoggedMessage> logged;
};

} // namespace loctest
