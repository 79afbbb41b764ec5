// Hexadecimal encoding and decoding.
#include <plat/hex.h>

#include <plat/Exception.h>
#include <plat/TextBuilder.h>

#include <climits>
#include <cstdint>
#include <cstring>

namespace plat {

int hexDigitValue(char digit) {
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    return -1;
}

char hexDigit(int i) {
    PLAT_ASSERT(i >= 0 && i <= 15);
    return "0123456789abcdef"[i];
}

DString binToHex(const unsigned char* bytes, std::size_t length) {
    PLAT_ASSERT(length < INT_MAX / 2);
    DString result;
    TextBuilder builder(result);
    for (std::size_t i = 0; i < length; ++i) {
        char pair[2] = {hexDigit(bytes[i] >> 4), hexDigit(bytes[i] & 0x0F)};
        builder.append(pair, 2);
    }
    return result;
}

bool hexToBin(const char* text, MBuf<unsigned char>& result, std::nothrow_t) {
    result.reset();
    std::size_t digits = text ? std::strlen(text) : 0;
    if (digits % 2 != 0 || digits / 2 > UINT32_MAX)
        return false;
    MBuf<unsigned char> decoded(std::uint32_t(digits / 2), result.wipe());
    for (std::size_t i = 0; i < digits; i += 2) {
        int high = hexDigitValue(text[i]);
        int low = hexDigitValue(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        decoded[std::uint32_t(i / 2)] = static_cast<unsigned char>(high << 4 | low);
    }
    result = std::move(decoded);
    return true;
}

MBuf<unsigned char> hexToBin(const char* text) {
    MBuf<unsigned char> result;
    if (!hexToBin(text, result, std::nothrow))
        throw Exception("Bad hex string");
    return result;
}

} // namespace plat
