// Conversion between bytes and hexadecimal text (binary parameter values).
#pragma once

#include <plat/DString.h>
#include <plat/MBuf.h>

#include <cstddef>
#include <new>

namespace plat {

// Two lower-case digits per byte.
DString binToHex(const unsigned char* bytes, std::size_t length);

// The lower-case digit for i from 0 to 15; any other value fails an assertion.
char hexDigit(int i);
// The value of a digit of either case, or -1 for any other character.
int hexDigitValue(char digit);

// Decodes pairs of digits (either case). An odd length or any other character throws
// plat::Exception "Bad hex string"; a null text is the empty text.
MBuf<unsigned char> hexToBin(const char* text);
// As above, but returns false (leaving result empty) instead of throwing.
bool hexToBin(const char* text, MBuf<unsigned char>& result, std::nothrow_t);

} // namespace plat
