// Terminal colour detection and colour codes.
#include <plat/terminalColour.h>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace plat {

namespace {

constexpr const char* ColourCodeFormat = "\033[%sm";
constexpr const char* ResetCode = "0";

} // namespace

bool terminalSupportsColour(int fd) {
    if (!isatty(fd))
        return false;
    const char* term = std::getenv("TERM");
    return term &&
           (std::strstr(term, "xterm") || std::strstr(term, "ansi") || std::strstr(term, "color"));
}

void appendColourCode(DString& text, const char* code) {
    text.appendf(ColourCodeFormat, code ? code : ResetCode);
}

bool writeColourCode(FILE* stream, const char* code) {
    return std::fprintf(stream, ColourCodeFormat, code ? code : ResetCode) >= 0;
}

} // namespace plat
