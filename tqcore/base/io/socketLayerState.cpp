// Storage for the socket layer's process-wide facts; lock-free so that they can be read anywhere.
#include <io/socketLayerState.h>

#include <atomic>

namespace io {

namespace {

std::atomic<bool> cloexecUnsupported{false};
std::atomic<bool> limitKept{false};
rlimit keptLimit{};

} // namespace

bool socketCloexecUnsupported() {
    return cloexecUnsupported.load();
}

void setSocketCloexecUnsupported() {
    cloexecUnsupported.store(true);
}

// Called once, while the socket layer starts up, before any reader can look at the limit.
void keepOpenFilesLimit(const rlimit& original) {
    keptLimit = original;
    limitKept.store(true);
}

bool keptOpenFilesLimit(rlimit& original) {
    if (!limitKept.load())
        return false;
    original = keptLimit;
    return true;
}

} // namespace io
