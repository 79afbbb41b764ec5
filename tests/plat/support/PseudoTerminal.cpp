// Pseudo-terminals for tests.
#include "PseudoTerminal.h"

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace plattest {

PseudoTerminal::PseudoTerminal() {
    controller = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (controller >= 0 && grantpt(controller) == 0 && unlockpt(controller) == 0)
        replica = open(ptsname(controller), O_RDWR | O_NOCTTY | O_CLOEXEC);
}

PseudoTerminal::~PseudoTerminal() {
    if (replica >= 0)
        close(replica);
    if (controller >= 0)
        close(controller);
}

std::string PseudoTerminal::received() {
    std::string text;
    pollfd ready{controller, POLLIN, 0};
    int timeout = 10000;
    while (poll(&ready, 1, timeout) > 0) {
        char buffer[4096];
        ssize_t count = read(controller, buffer, sizeof buffer);
        if (count <= 0)
            break;
        text.append(buffer, std::size_t(count));
        timeout = 200;
    }
    return text;
}

} // namespace plattest
