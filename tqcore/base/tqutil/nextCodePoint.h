// Stepping through UTF-8 text character by character for the font code, with an inline path for
// ASCII.
#pragma once

#include <plat/utf8.h>

#include <cstddef>
#include <cstdint>

namespace tqutil {

// What invalid UTF-8 decodes to.
constexpr std::uint32_t InvalidCodePoint = 0xFFFFFFFF;

// Decodes the character at p and moves p past it, never reading at or past end (null: the text
// runs to its NUL, which decodes as 0). The caller has checked that p is before end.
inline std::uint32_t nextCodePoint(const char*& p, const char* end) {
    auto lead = static_cast<unsigned char>(*p);
    if (lead < 0x80) {
        ++p;
        return lead;
    }
    int length = 1;
    int codePoint = plat::decodeUtf8(p, end ? std::size_t(end - p) : SIZE_MAX, length);
    p += length;
    return codePoint < 0 ? InvalidCodePoint : std::uint32_t(codePoint);
}

} // namespace tqutil
