// Implementation of the os test helpers.
#include "osTestSupport.h"

#include <io/FdManager.h>

#include <chrono>
#include <cstdlib>
#include <dirent.h>
#include <thread>

namespace ostest {

bool eventually(const std::function<bool()>& condition, io::FdManager* manager) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        if (manager)
            manager->wait(20);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

int countOpenDescriptorsFrom(int lowest) {
    DIR* listing = ::opendir("/proc/self/fd");
    if (!listing)
        return -1;
    int count = 0;
    while (dirent* entry = ::readdir(listing)) {
        if (entry->d_name[0] == '.')
            continue;
        int fd = std::atoi(entry->d_name);
        if (fd >= lowest && fd != ::dirfd(listing))
            ++count;
    }
    ::closedir(listing);
    return count;
}

} // namespace ostest
