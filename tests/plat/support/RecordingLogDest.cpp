// A recording log destination for tests.
#include "RecordingLogDest.h"

namespace plattest {

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

} // namespace plattest
