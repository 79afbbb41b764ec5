// Recording log destinations for tests.
#include "RecordingLogDest.h"

#include <plat/Log.h>

namespace testsupport {

void RecordingLogDest::write(int level, const char* sourceName, const char* message) {
    Message recorded{level, sourceName, message};
    {
        std::lock_guard lock(mutex);
        received.push_back(recorded);
    }
    if (onWrite)
        onWrite(recorded);
}

std::vector<RecordingLogDest::Message> RecordingLogDest::messages() const {
    std::lock_guard lock(mutex);
    return received;
}

std::vector<std::string> RecordingLogDest::texts() const {
    std::vector<std::string> result;
    for (const Message& message : messages())
        result.push_back(message.text);
    return result;
}

int RecordingLogDest::levelOf(std::string_view text) const {
    for (const Message& message : messages()) {
        if (message.text == text)
            return message.level;
    }
    return -1;
}

std::string RecordingLogDest::dump() const {
    std::string text;
    for (const Message& message : messages())
        text += std::to_string(message.level) + ": " + message.text + "\n";
    return text;
}

LogRecording::LogRecording(const char* sources, int level) : RecordingLogDest("testrecording") {
    plat::setLogOverride(
        (std::string(sources) + ":testrecording:" + std::to_string(level)).c_str());
}

LogRecording::~LogRecording() {
    plat::setLogOverride(nullptr);
}

} // namespace testsupport
