// Percent-encoding ("%2F") of endpoint texts and of other URL-like values.
#pragma once

#include <plat/DString.h>

namespace io {

// Keeps letters, digits, space and & ' ( ) * + , - . ! $ ; = _ ~; every other byte becomes "%XX"
// with upper-case digits.
plat::DString percentEncodeEndpoint(const char* text);
// Reverses it and repairs the result to valid UTF-8. A "%" not followed by two hexadecimal
// digits, or one that would decode to a NUL, raises io::EndpointInvalid.
plat::DString percentDecodeEndpoint(const char* text);

// Keeps letters, digits and * - . _, and with keepNonAscii the bytes of 128 and above.
plat::DString percentEncode(const char* text, bool keepNonAscii);
// With plusIsSpace "+" becomes a blank. A "%" not followed by two hexadecimal digits, or one
// that would decode to a NUL, raises plat::Exception "Bad percent encoding".
plat::DString percentDecode(const char* text, bool plusIsSpace);

} // namespace io
