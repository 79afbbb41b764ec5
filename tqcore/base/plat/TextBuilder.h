// Piecewise appending to a DString that remembers the length, so that building a long text byte
// by byte does not rescan it each time.
#pragma once

#include <plat/DString.h>
#include <plat/Exception.h>

#include <climits>
#include <cstring>

namespace plat {

// The target must not be changed by other means while a builder is appending to it, and appended
// bytes must not point into it (growth moves the buffer). A null target becomes the empty string.
class TextBuilder {
public:
    explicit TextBuilder(DString& target) : target(target), used(target.length()) {
        target.reserve(used + 1);
    }

    void append(const char* bytes, int count) {
        PLAT_ASSERT(count >= 0 && count < INT_MAX - used);
        target.reserve(used + count + 1);
        std::memcpy(target.data() + used, bytes, std::size_t(count));
        used += count;
        target.data()[used] = '\0';
    }
    void append(char c) { append(&c, 1); }
    void append(const char* text) { append(text, int(std::strlen(text))); }

    int length() const { return used; }

private:
    DString& target;
    int used;
};

} // namespace plat
