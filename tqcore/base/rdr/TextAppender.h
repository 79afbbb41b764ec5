// Appends text to an output stream (normally a MemOutStream), leaving a NUL just after the text
// that the stream's length does not count, so that the bytes written so far read as a C string.
#pragma once

#include <rdr/OutStream.h>

#include <cstdarg>
#include <cstdint>

namespace rdr {

class TextAppender {
public:
    explicit TextAppender(OutStream& out) : out(out) {}

    // A negative length means the C-string length; otherwise at most length bytes, stopping at
    // a NUL.
    TextAppender& append(const char* text, int length = -1);
    TextAppender& appendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    TextAppender& appendFormatV(const char* format, va_list args)
        __attribute__((format(printf, 2, 0)));
    // The character, UTF-8 encoded, count times.
    TextAppender& appendChar(std::uint32_t codePoint, int count = 1);

private:
    void terminate();

    OutStream& out;
};

} // namespace rdr
