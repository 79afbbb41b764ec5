// Small text utilities. They accept null texts (a null text behaves as an empty one) and treat
// exactly tab, line feed, carriage return and blank as whitespace; case handling is ASCII only,
// whatever the locale.
#pragma once

#include <plat/DString.h>

#include <cstddef>
#include <cstdint>

namespace plat {

bool isWhitespace(char c);

// A null or empty prefix or suffix always matches.
bool startsWith(const char* text, const char* prefix);
bool startsWithNoCase(const char* text, const char* prefix);
bool endsWith(const char* text, const char* suffix);
bool endsWithNoCase(const char* text, const char* suffix);

// strcmp without regard to ASCII case: negative, zero or positive; null sorts as "".
int compareNoCase(const char* first, const char* second);
bool equalsNoCase(const char* first, const char* second);

// The first occurrence of needle in haystack without regard to case, or null; a null or empty
// needle gives the haystack.
const char* findNoCase(const char* haystack, const char* needle);

// Whether c occurs in [start, end), looking no further than the text's NUL.
bool containsCharBefore(const char* start, const char* end, char c);

// Removes, in place, every byte that occurs in set.
void removeChars(char* text, const char* set);

// Whether any byte is not whitespace.
bool hasNonSpace(const char* text);

// Remove leading / trailing whitespace in place.
void trimLeft(char* text);
void trimRight(char* text);

// Inserts separator before every n-th UTF-8 character after the first ("1234567" with ',' and 3
// gives "123,456,7"); n below 1 changes nothing.
void insertEvery(DString& text, char separator, int n);

// ASCII case mapping in place.
void toUpper(char* text);
void toLower(char* text);

// The 64-bit FNV-1a hash of the bytes.
std::uint64_t fnv1aHash(const void* data, std::size_t length);
std::uint64_t fnv1aHash(const char* text);

} // namespace plat
