// Terminal colour detection.
#include <plat/terminalColour.h>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace plat {

bool terminalSupportsColour(int fd) {
    if (!isatty(fd))
        return false;
    const char* term = std::getenv("TERM");
    return term &&
           (std::strstr(term, "xterm") || std::strstr(term, "ansi") || std::strstr(term, "color"));
}

} // namespace plat
