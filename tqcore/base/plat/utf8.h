// The strict UTF-8 codec, validation and repair, terminal display width and the conversions
// between UTF-8 and ISO-8859-1.
#pragma once

#include <plat/DString.h>

#include <cstddef>

namespace plat {

constexpr int ReplacementCharacter = 0xFFFD;
constexpr int MaxUtf8SequenceLength = 4;

// Decodes the character at text, reading at most `available` bytes (never past a NUL). Returns
// the code point, or -1 when the sequence is invalid: a bad lead byte, a missing continuation
// byte, an overlong form, a surrogate, a value above U+10FFFF or a non-character.
// `sequenceLength` receives the bytes taken: for an invalid sequence, the lead byte and the
// continuation bytes that follow it (up to the length the lead byte announces), so that one
// broken character is one invalid sequence.
int decodeUtf8(const char* text, std::size_t available, int& sequenceLength);

// Writes 1 to 4 bytes (no terminator) and returns their number; throws plat::Exception
// "Unicode out of range" for a negative value or one above U+10FFFF.
int encodeUtf8(int codePoint, char (&out)[MaxUtf8SequenceLength]);

// Whether every sequence up to end (or up to the NUL when end is null) decodes.
bool isValidUtf8(const char* begin, const char* end = nullptr);

// A copy in which each invalid sequence is U+FFFD, ending at end or at the first NUL. A maxBytes
// that is not negative limits the result's length; the copy stops before the first character
// that does not fit. A null text gives a null string.
DString sanitiseUtf8(const char* begin, const char* end = nullptr, int maxBytes = -1);

// Moves start forward to the next character start, shortening length by as much, then extends
// length so that the range ends on a character boundary. A negative length means to the end of
// the text. start must lie within the text.
void clipToCharacters(const char* text, int& start, int& length);

// The terminal columns the text takes (wcwidth in the current locale; a character without a
// width counts as one), stopping at the first invalid sequence, the NUL or end.
int displayWidth(const char* begin, const char* end = nullptr);

// UTF-8 to ISO-8859-1: U+20AC becomes 0x80, other code points below 256 stay, larger ones and
// the bytes of a sequence cut off by the end of the input become '?'. Conversion stops at a NUL
// or an invalid sequence. A negative length means up to the NUL; the result's length() is its
// byte count.
DString utf8ToLatin1(const char* text, int length = -1);

// ISO-8859-1 to UTF-8: 0x80 becomes U+20AC, every other byte the code point of its value.
// Conversion stops at a NUL.
DString latin1ToUtf8(const char* text, int length = -1);

} // namespace plat
