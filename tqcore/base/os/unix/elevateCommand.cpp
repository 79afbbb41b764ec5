// No elevation program is driven yet, so every request is refused.
#include <os/unix/elevateCommand.h>

#include <plat/Exception.h>

namespace os {

void elevateCommand(std::vector<plat::DString>&, const char*) {
    throw plat::Exception("Elevation is not available");
}

} // namespace os
