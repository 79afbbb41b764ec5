// Integer parsing on top of the C library's strto* conversions, in checked and flag-returning
// forms. Every function leaves the caller's errno as it was; the base goes to the C library as it
// is (0 accepts the "0x" and "0" prefixes). Throwing forms raise plat::BadNum; std::nothrow forms
// store 0 and return false. A null text is a failure; `end`, when given, receives the position
// after the consumed characters (the text itself when nothing was consumed).
#pragma once

#include <cstdint>
#include <new>

namespace plat {

// At least one character consumed and the value within 32 bits ("Failed to parse integer").
std::int32_t parseS32(const char* text, const char** end = nullptr, int base = 10);
bool parseS32(const char* text, std::int32_t& value, std::nothrow_t, const char** end = nullptr,
              int base = 10);

// As parseS32, the whole text consumed and min <= value <= max; any failure throws the caller's
// message, or "Failed to parse integer" without one.
std::int32_t parseWholeS32(const char* text, std::int32_t min = INT32_MIN,
                           std::int32_t max = INT32_MAX, const char* message = nullptr,
                           int base = 10);
bool parseWholeS32(const char* text, std::int32_t& value, std::nothrow_t,
                   std::int32_t min = INT32_MIN, std::int32_t max = INT32_MAX, int base = 10);

// At least one character consumed, no minus sign among them, at most 0xFFFFFFFF
// ("Failed to parse integer").
std::uint32_t parseU32(const char* text, const char** end = nullptr, int base = 10);
bool parseU32(const char* text, std::uint32_t& value, std::nothrow_t, const char** end = nullptr,
              int base = 10);

std::uint32_t parseWholeU32(const char* text, std::uint32_t min = 0, std::uint32_t max = UINT32_MAX,
                            const char* message = nullptr, int base = 10);
bool parseWholeU32(const char* text, std::uint32_t& value, std::nothrow_t, std::uint32_t min = 0,
                   std::uint32_t max = UINT32_MAX, int base = 10);

// At least one character consumed and no overflow ("Failed to parse S64 integer").
std::int64_t parseS64(const char* text, const char** end = nullptr, int base = 10);
bool parseS64(const char* text, std::int64_t& value, std::nothrow_t, const char** end = nullptr,
              int base = 10);
std::int64_t parseWholeS64(const char* text, int base = 10);
bool parseWholeS64(const char* text, std::int64_t& value, std::nothrow_t, int base = 10);

// At least one character consumed, no minus sign among them and no overflow
// ("Failed to parse U64 integer").
std::uint64_t parseU64(const char* text, const char** end = nullptr, int base = 10);
bool parseU64(const char* text, std::uint64_t& value, std::nothrow_t, const char** end = nullptr,
              int base = 10);
std::uint64_t parseWholeU64(const char* text, int base = 10);
bool parseWholeU64(const char* text, std::uint64_t& value, std::nothrow_t, int base = 10);

} // namespace plat
