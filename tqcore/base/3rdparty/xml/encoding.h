// The document encodings that XML documents may name in their header, and conversion between
// them and UTF-8 through the C library's iconv.
#pragma once

#include <xml/Status.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace xml {

enum class Encoding { Utf8, Latin1, ShiftJis };

// "utf-8" (or "utf8"), "ISO-8859-1", and "SHIFT-JIS" (or "shiftjis", "shift-jis", "shift_jis"),
// without regard to case.
std::optional<Encoding> encodingNamed(std::string_view name);

// Converts text in the given encoding to UTF-8. On failure, out holds the conversion of the text
// before the byte that could not be converted.
bool convertToUtf8(std::string_view text, Encoding from, std::string& out);

// Converts UTF-8 text to the given encoding: Code::None on success, CharacterCodeAbove255 when
// ISO-8859-1 cannot hold a character, CharacterConversion otherwise.
Code convertFromUtf8(std::string_view text, Encoding to, std::string& out);

// The offset of the first byte that does not begin a valid UTF-8 sequence (an overlong form, a
// surrogate, a value above U+10FFFF or a cut-off sequence), or npos.
std::size_t findInvalidUtf8(std::string_view text);

} // namespace xml
