// Test support: a log destination that keeps the messages of the Localize source.
#include "LogCapture.h"

#include <plat/Log.h>

#include <string>

namespace loctest {

LogCapture::LogCapture(int level) : plat::LogDest("loctestcapture") {
    plat::setLogOverride(("Localize:loctestcapture:" + std::to_string(level)).c_str());
}

LogCapture::~LogCapture() {
    plat::setLogOverride(nullptr);
}

void LogCapture::write(int level, const char*, const char* message) {
    std::lock_guard lock(mutex);
    logged.push_back({level, message});
}

std::vector<LoggedMessage> LogCapture::messages() const {
    std::lock_guard lock(mutex);
    return logged;
}

int LogCapture::levelOf(std::string_view text) const {
    std::lock_guard lock(mutex);
    for (const LoggedMessage& message : logged) {
        if (message.text == text)
            return message.level;
    }
    return -1;
}

std::string LogCapture::dump() const {
    std::lock_guard lock(mutex);
    std::string text;
    for (const LoggedMessage& message : logged)
        text += std::to_string(message.level) + ": " + message.text + "\n";
    return text;
}

} // namespace loctest
