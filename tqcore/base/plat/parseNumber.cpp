// Checked integer parsing.
#include <plat/parseNumber.h>

#include <plat/Exception.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace plat {

namespace {

constexpr const char* IntegerFailure = "Failed to parse integer";
constexpr const char* S64Failure = "Failed to parse S64 integer";
constexpr const char* U64Failure = "Failed to parse U64 integer";

// The conversions report through errno, which belongs to the caller.
class ErrnoPreserver {
public:
    ErrnoPreserver() : saved(errno) { errno = 0; }
    ~ErrnoPreserver() { errno = saved; }
    ErrnoPreserver(const ErrnoPreserver&) = delete;
    ErrnoPreserver& operator=(const ErrnoPreserver&) = delete;

private:
    int saved;
};

template <typename Wide>
struct Conversion {
    Wide value = 0;
    const char* end = nullptr;
    bool failed = true;

    bool consumedNothing(const char* text) const { return end == text; }
    // strtoul and strtoull accept a minus sign and negate the result.
    bool consumedMinus(const char* text) const {
        return std::memchr(text, '-', std::size_t(end - text)) != nullptr;
    }
};

// Wrapped because the standard library's functions are not meant to have their address taken.
long toLong(const char* text, char** end, int base) {
    return std::strtol(text, end, base);
}
unsigned long toUnsignedLong(const char* text, char** end, int base) {
    return std::strtoul(text, end, base);
}
long long toLongLong(const char* text, char** end, int base) {
    return std::strtoll(text, end, base);
}
unsigned long long toUnsignedLongLong(const char* text, char** end, int base) {
    return std::strtoull(text, end, base);
}

template <typename Wide>
Conversion<Wide> convert(const char* text, int base, Wide (*strto)(const char*, char**, int)) {
    Conversion<Wide> result;
    result.end = text;
    if (text == nullptr)
        return result;
    ErrnoPreserver preserver;
    char* end = const_cast<char*>(text);
    result.value = strto(text, &end, base);
    result.end = end;
    result.failed = errno != 0 || result.consumedNothing(text);
    return result;
}

template <typename Value>
bool finish(bool accepted, Value converted, Value& value, const char* conversionEnd,
            const char** end) {
    if (end)
        *end = conversionEnd;
    value = accepted ? converted : 0;
    return accepted;
}

bool consumedWhole(bool parsed, const char* end) {
    return parsed && *end == '\0';
}

} // namespace

bool parseS32(const char* text, std::int32_t& value, std::nothrow_t, const char** end, int base) {
    auto result = convert<long>(text, base, toLong);
    bool accepted = !result.failed && result.value >= INT32_MIN && result.value <= INT32_MAX;
    return finish(accepted, std::int32_t(result.value), value, result.end, end);
}

std::int32_t parseS32(const char* text, const char** end, int base) {
    std::int32_t value;
    if (!parseS32(text, value, std::nothrow, end, base))
        throw BadNum(IntegerFailure);
    return value;
}

bool parseWholeS32(const char* text, std::int32_t& value, std::nothrow_t, std::int32_t min,
                   std::int32_t max, int base) {
    const char* end;
    bool parsed = parseS32(text, value, std::nothrow, &end, base);
    bool accepted = consumedWhole(parsed, end) && value >= min && value <= max;
    return finish(accepted, value, value, end, nullptr);
}

std::int32_t parseWholeS32(const char* text, std::int32_t min, std::int32_t max,
                           const char* message, int base) {
    std::int32_t value;
    if (!parseWholeS32(text, value, std::nothrow, min, max, base))
        throw BadNum(message ? message : IntegerFailure);
    return value;
}

bool parseU32(const char* text, std::uint32_t& value, std::nothrow_t, const char** end, int base) {
    auto result = convert<unsigned long>(text, base, toUnsignedLong);
    bool accepted = !result.failed && !result.consumedMinus(text) && result.value <= UINT32_MAX;
    return finish(accepted, std::uint32_t(result.value), value, result.end, end);
}

std::uint32_t parseU32(const char* text, const char** end, int base) {
    std::uint32_t value;
    if (!parseU32(text, value, std::nothrow, end, base))
        throw BadNum(IntegerFailure);
    return value;
}

bool parseWholeU32(const char* text, std::uint32_t& value, std::nothrow_t, std::uint32_t min,
                   std::uint32_t max, int base) {
    const char* end;
    bool parsed = parseU32(text, value, std::nothrow, &end, base);
    bool accepted = consumedWhole(parsed, end) && value >= min && value <= max;
    return finish(accepted, value, value, end, nullptr);
}

std::uint32_t parseWholeU32(const char* text, std::uint32_t min, std::uint32_t max,
                            const char* message, int base) {
    std::uint32_t value;
    if (!parseWholeU32(text, value, std::nothrow, min, max, base))
        throw BadNum(message ? message : IntegerFailure);
    return value;
}

bool parseS64(const char* text, std::int64_t& value, std::nothrow_t, const char** end, int base) {
    auto result = convert<long long>(text, base, toLongLong);
    return finish(!result.failed, std::int64_t(result.value), value, result.end, end);
}

std::int64_t parseS64(const char* text, const char** end, int base) {
    std::int64_t value;
    if (!parseS64(text, value, std::nothrow, end, base))
        throw BadNum(S64Failure);
    return value;
}

bool parseWholeS64(const char* text, std::int64_t& value, std::nothrow_t, int base) {
    const char* end;
    bool parsed = parseS64(text, value, std::nothrow, &end, base);
    return finish(consumedWhole(parsed, end), value, value, end, nullptr);
}

std::int64_t parseWholeS64(const char* text, int base) {
    std::int64_t value;
    if (!parseWholeS64(text, value, std::nothrow, base))
        throw BadNum(S64Failure);
    return value;
}

bool parseU64(const char* text, std::uint64_t& value, std::nothrow_t, const char** end, int base) {
    auto result = convert<unsigned long long>(text, base, toUnsignedLongLong);
    bool accepted = !result.failed && !result.consumedMinus(text);
    return finish(accepted, std::uint64_t(result.value), value, result.end, end);
}

std::uint64_t parseU64(const char* text, const char** end, int base) {
    std::uint64_t value;
    if (!parseU64(text, value, std::nothrow, end, base))
        throw BadNum(U64Failure);
    return value;
}

bool parseWholeU64(const char* text, std::uint64_t& value, std::nothrow_t, int base) {
    const char* end;
    bool parsed = parseU64(text, value, std::nothrow, &end, base);
    return finish(consumedWhole(parsed, end), value, value, end, nullptr);
}

std::uint64_t parseWholeU64(const char* text, int base) {
    std::uint64_t value;
    if (!parseWholeU64(text, value, std::nothrow, base))
        throw BadNum(U64Failure);
    return value;
}

} // namespace plat
