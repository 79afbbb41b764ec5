// Formatting straight into an output stream's window.
#include <rdr/TextAppender.h>

#include <plat/Exception.h>
#include <plat/utf8.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace rdr {

TextAppender& TextAppender::append(const char* text, int length) {
    if (text) {
        std::size_t count = length < 0 ? std::strlen(text) : strnlen(text, std::size_t(length));
        out.writeBytes(text, int(count));
    }
    terminate();
    return *this;
}

TextAppender& TextAppender::appendFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    appendFormatV(format, args);
    va_end(args);
    return *this;
}

TextAppender& TextAppender::appendFormatV(const char* format, va_list args) {
    va_list attempt;
    va_copy(attempt, args);
    int room = int(out.getEnd() - out.getPtr());
    int needed =
        std::vsnprintf(reinterpret_cast<char*>(out.getPtr()), std::size_t(room), format, attempt);
    va_end(attempt);
    // A negative result is an encoding error or a text beyond INT_MAX: more room would not help.
    if (needed < 0)
        throw plat::SystemException("vsnprintf", errno);
    if (needed < room) {
        out.setPtr(out.getPtr() + needed);
        return *this;
    }
    out.makeRoom(needed + 1);
    room = int(out.getEnd() - out.getPtr());
    if (needed < room) {
        va_copy(attempt, args);
        std::vsnprintf(reinterpret_cast<char*>(out.getPtr()), std::size_t(room), format, attempt);
        va_end(attempt);
        out.setPtr(out.getPtr() + needed);
        return *this;
    }
    // Streams whose window is capped (buffered output) take a long text in pieces.
    std::unique_ptr<char[]> text(new char[std::size_t(needed) + 1]);
    va_copy(attempt, args);
    std::vsnprintf(text.get(), std::size_t(needed) + 1, format, attempt);
    va_end(attempt);
    return append(text.get(), needed);
}

TextAppender& TextAppender::appendChar(std::uint32_t codePoint, int count) {
    char encoded[plat::MaxUtf8SequenceLength];
    int length = plat::encodeUtf8(int(codePoint), encoded);
    for (int i = 0; i < count; ++i)
        out.writeBytes(encoded, length);
    terminate();
    return *this;
}

void TextAppender::terminate() {
    // A stream that is full keeps its text without the terminator rather than failing after
    // the text itself went in.
    if (out.getPtr() == out.getEnd() && out.spaceLeft() <= 0)
        return;
    out.makeRoom(1);
    if (out.getPtr() < out.getEnd())
        *out.getPtr() = '\0';
}

} // namespace rdr
