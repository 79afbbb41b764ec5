// Base64 with the standard alphabet ('A'-'Z', 'a'-'z', '0'-'9', '+', '/') and '=' padding, for
// binary values carried in XML text.
#pragma once

#include <xml/Status.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace xml {

// Padded to a multiple of four characters, without line breaks.
std::string encodeBase64(const unsigned char* data, std::size_t length);

// Decoding skips blanks, tabs and line ends. Padding may only end the text and must complete
// its last group. Without padding, a last group of two or three characters is decoded with the
// warning Base64LengthNotMultipleOf4, and a lone last character, which cannot make a byte, is
// dropped with the warning Base64Truncated. Any other character, and misplaced padding, fail
// with Base64IllegalCharacter and produce nothing.

// The number of bytes the text decodes into (0 when it fails to decode).
std::size_t decodedBase64Length(std::string_view text);

Code decodeBase64(std::string_view text, std::vector<unsigned char>& out);
// Writes nothing and fails with Base64OutputTooSmall when the bytes need more than capacity.
Code decodeBase64(std::string_view text, unsigned char* out, std::size_t capacity,
                  std::size_t& written);

} // namespace xml
