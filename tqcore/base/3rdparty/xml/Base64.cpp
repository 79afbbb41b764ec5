// The Base64 codec of the XML layer.
#include <xml/Base64.h>

namespace xml {

namespace {

const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int symbolValue(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

bool isSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The shape of an encoded text: its symbol count and the outcome of decoding it.
struct Shape {
    std::size_t symbols = 0;
    Code code = Code::None;

    std::size_t byteCount() const {
        if (code == Code::Base64IllegalCharacter)
            return 0;
        std::size_t rest = symbols % 4;
        return symbols / 4 * 3 + (rest >= 2 ? rest - 1 : 0);
    }
};

Shape examine(std::string_view text) {
    Shape shape;
    std::size_t padding = 0;
    for (char c : text) {
        if (isSkipped(c))
            continue;
        if (c == '=') {
            ++padding;
        } else if (padding > 0 || symbolValue(c) < 0) {
            shape.code = Code::Base64IllegalCharacter;
            return shape;
        } else {
            ++shape.symbols;
        }
    }
    std::size_t rest = shape.symbols % 4;
    if (padding > 0) {
        if (rest < 2 || rest + padding != 4)
            shape.code = Code::Base64IllegalCharacter;
    } else if (rest == 1) {
        shape.code = Code::Base64Truncated;
    } else if (rest != 0) {
        shape.code = Code::Base64LengthNotMultipleOf4;
    }
    return shape;
}

// Decodes the symbols of an examined text into exactly byteCount() bytes.
void decodeSymbols(std::string_view text, unsigned char* out) {
    unsigned int bits = 0;
    int bitCount = 0;
    for (char c : text) {
        int value = symbolValue(c);
        if (value < 0)
            continue;
        bits = (bits << 6) | unsigned(value);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            *out++ = static_cast<unsigned char>(bits >> bitCount);
            bits &= (1u << bitCount) - 1;
        }
    }
}

} // namespace

std::string encodeBase64(const unsigned char* data, std::size_t length) {
    std::string out;
    out.reserve((length + 2) / 3 * 4);
    for (std::size_t i = 0; i < length; i += 3) {
        unsigned int group = unsigned(data[i]) << 16;
        if (i + 1 < length)
            group |= unsigned(data[i + 1]) << 8;
        if (i + 2 < length)
            group |= data[i + 2];
        out += alphabet[(group >> 18) & 0x3F];
        out += alphabet[(group >> 12) & 0x3F];
        out += i + 1 < length ? alphabet[(group >> 6) & 0x3F] : '=';
        out += i + 2 < length ? alphabet[group & 0x3F] : '=';
    }
    return out;
}

std::size_t decodedBase64Length(std::string_view text) {
    return examine(text).byteCount();
}

Code decodeBase64(std::string_view text, std::vector<unsigned char>& out) {
    Shape shape = examine(text);
    out.assign(shape.byteCount(), 0);
    if (!out.empty())
        decodeSymbols(text, out.data());
    return shape.code;
}

Code decodeBase64(std::string_view text, unsigned char* out, std::size_t capacity,
                  std::size_t& written) {
    written = 0;
    Shape shape = examine(text);
    if (shape.code == Code::Base64IllegalCharacter)
        return shape.code;
    if (shape.byteCount() > capacity)
        return Code::Base64OutputTooSmall;
    if (shape.byteCount() > 0)
        decodeSymbols(text, out);
    written = shape.byteCount();
    return shape.code;
}

} // namespace xml
