// Operations on NUL-terminated text in fixed-size buffers (exception texts, log lines). Text that
// must be cut is cut on a UTF-8 character boundary so that the buffer stays valid UTF-8.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace plat {

// Appends at most capacity - 1 - strlen(dst) bytes of src (at most maxLen bytes; negative means
// all of it) and always terminates dst. Returns whether all of the source fitted.
bool boundedAppend(char* dst, std::size_t capacity, const char* src, long maxLen = -1);

// Formats after the existing text with vsnprintf semantics; returns whether nothing was cut.
bool boundedAppendf(char* dst, std::size_t capacity, const char* format, va_list args)
    __attribute__((format(printf, 3, 0)));
bool boundedAppendf(char* dst, std::size_t capacity, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// strlcpy: copies as much as fits, always terminates, returns strlen(src).
std::size_t boundedCopy(char* dst, const char* src, std::size_t capacity);

// Removes a trailing UTF-8 sequence that lacks continuation bytes; returns the new length.
std::size_t trimIncompleteUtf8(char* text, std::size_t length);

// Null-safe length functions: a null text has length 0.
std::size_t safeStrlen(const char* text);
std::size_t safeStrnlen(const char* text, std::size_t maxLen);

// A copy of at most maxLen bytes (negative: all) in a new array released with delete[];
// null gives null.
char* strDup(const char* text, long maxLen = -1);

} // namespace plat
