// Message and type texts of the image exceptions.
#include <tqutil/imageExceptions.h>

#include <cstdarg>

namespace tqutil {

PngException::PngException(const char* format, ...) {
    setType("PngException");
    va_list args;
    va_start(args, format);
    appendMessageFormatted(format, args);
    va_end(args);
}

NamedImageBadSize::NamedImageBadSize(const char* format, ...) {
    setType("NamedImageBadSize");
    va_list args;
    va_start(args, format);
    appendMessageFormatted(format, args);
    va_end(args);
}

NamedImageNotFound::NamedImageNotFound(const char* name) {
    setType("NamedImageNotFound");
    appendMessage("Bad image name '");
    appendMessage(name);
    appendMessage("'");
}

} // namespace tqutil
