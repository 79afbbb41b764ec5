// Direct writes to the standard error descriptor.
#include <plat/standardErrorReport.h>

#include <plat/DString.h>

#include <cerrno>
#include <cstdarg>
#include <unistd.h>

namespace plat {

void writeStandardError(const char* text, std::size_t length) {
    while (length > 0) {
        ssize_t written = ::write(STDERR_FILENO, text, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        text += written;
        length -= std::size_t(written);
    }
}

void reportOnStandardError(const char* format, ...) {
    DString text;
    va_list args;
    va_start(args, format);
    text.appendV(format, args);
    va_end(args);
    writeStandardError(text.c_str(), std::size_t(text.length()));
}

} // namespace plat
