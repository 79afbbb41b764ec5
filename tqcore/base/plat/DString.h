// An owned, growable UTF-8 text buffer. A DString may hold no string at all (null), which is
// distinct from the empty string; when it holds one, the text is always NUL-terminated.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

namespace plat {

class DString {
public:
    DString() = default;
    explicit DString(const char* text, int maxLen = -1);
    DString(const DString& other);
    DString(DString&& other) noexcept;
    DString& operator=(const DString& other);
    DString& operator=(DString&& other) noexcept;
    ~DString();

    // The text, or null when there is no string.
    const char* get() const { return buffer; }
    char* data() { return buffer; }
    // The text, or "" when there is no string.
    const char* c_str() const { return buffer ? buffer : ""; }
    bool isNull() const { return buffer == nullptr; }
    bool isEmpty() const { return buffer == nullptr || buffer[0] == '\0'; }
    int length() const;
    int capacity() const { return bufferCapacity; }

    // Makes room for at least n bytes (including the terminator); capacities are powers of two.
    void reserve(int n);
    // Becomes the empty string (not null).
    void clear();
    // Becomes null, releasing the buffer.
    void reset();
    // Hands the buffer to the caller (release with delete[]); the DString becomes null.
    char* release();

    DString& assign(const char* text, int maxLen = -1);
    // Appends at most maxLen bytes of text (negative: all of it); null appends nothing.
    DString& append(const char* text, int maxLen = -1);
    DString& append(const DString& text) { return append(text.get()); }
    DString& appendChar(char c);
    DString& appendf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    DString& appendV(const char* format, va_list args) __attribute__((format(printf, 2, 0)));
    // Clears, then appends the formatted text.
    DString& format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Replaces the bytes [start, end) by len bytes of text (negative: all); ignored unless
    // 0 <= start <= end <= length().
    DString& replace(int start, int end, const char* text, int len = -1);
    // Shortens the text to at most newLength bytes.
    void truncate(int newLength);

    // Appends count copies of the character, UTF-8 encoded; throws plat::Exception
    // "Unicode out of range" above U+10FFFF.
    DString& appendRepeat(int codePoint, int count);
    // Appends text with every occurrence of needle replaced (null replacement: removed); an empty
    // needle fails an assertion.
    DString& replaceAll(const char* text, const char* needle, const char* replacement);
    // Replaces each invalid UTF-8 sequence by U+FFFD.
    DString& makeValidUtf8();
    // Word-wraps the text for a terminal of the given width: a word that would pass the width
    // starts a new line indented by indent blanks. Words are separated by blanks and line feeds;
    // line feeds in the text are kept, and so are the blanks that begin a line.
    DString& wrap(int width, int indent);

private:
    char* buffer = nullptr;
    std::int32_t bufferCapacity = 0;
};

} // namespace plat
