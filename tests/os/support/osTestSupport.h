// Helpers of the os tests: polling with generous deadlines, and counting the descriptors this
// process has open.
#pragma once

#include <functional>

namespace io {
class FdManager;
}

namespace ostest {

// Polls condition until it holds or 30 seconds have passed; when a descriptor manager is given,
// it is served between polls so that signal callbacks and timers run.
bool eventually(const std::function<bool()>& condition, io::FdManager* manager = nullptr);

// Number of descriptors at or above lowest that this process has open.
int countOpenDescriptorsFrom(int lowest);

} // namespace ostest
