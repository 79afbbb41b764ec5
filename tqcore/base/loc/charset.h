// The character set of the C library's locale, as the text conversions need to know it.
#pragma once

namespace loc {

enum class Charset { Other, Utf8, Latin1, Ascii };

// Classifies a codeset name after lower-casing it and removing "-" and "_": "utf8" is UTF-8;
// "iso88591" (alone or followed by a non-digit) is ISO-8859-1; a name containing "ascii", equal
// to "isoir6" or "646", or beginning with "iso646" or "ansix3.4" is ASCII. Null is Other.
Charset classifyCharset(const char* codeset);

// The classification of the calling thread's current C library locale.
Charset currentCharset();

} // namespace loc
