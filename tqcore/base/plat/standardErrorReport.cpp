// Direct writes to the standard error descriptor.
#include <plat/standardErrorReport.h>

#include <plat/DString.h>
#include <plat/writeAll.h>

#include <cstdarg>
#include <unistd.h>

namespace plat {

void writeStandardError(const char* text, std::size_t length) {
    writeAll(STDERR_FILENO, text, length);
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
