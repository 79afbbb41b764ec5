// Percent-encoding and decoding byte by byte; a decoded NUL would cut the text short, so it
// counts as a malformed escape.
#include <io/percentEncoding.h>

#include <io/EndpointInvalid.h>
#include <plat/Exception.h>
#include <plat/hex.h>

#include <cstring>

namespace io {

namespace {

bool isLetterOrDigit(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool keptInEndpoint(unsigned char c) {
    return isLetterOrDigit(c) || (c >= '&' && c <= '.') || (c != 0 && std::strchr(" !$;=_~", c));
}

bool keptInGeneral(unsigned char c, bool keepNonAscii) {
    return isLetterOrDigit(c) || c == '*' || c == '-' || c == '.' || c == '_' ||
           (keepNonAscii && c >= 128);
}

template <typename Kept>
plat::DString encode(const char* text, Kept kept) {
    plat::DString out("");
    for (const char* at = text ? text : ""; *at; ++at) {
        auto c = static_cast<unsigned char>(*at);
        if (kept(c))
            out.appendChar(char(c));
        else
            out.appendf("%%%.2X", c);
    }
    return out;
}

// The byte that the escape starting at text stands for, or -1 when it is malformed or a NUL.
int escapedByte(const char* text) {
    int high = plat::hexDigitValue(text[1]);
    if (high < 0)
        return -1;
    int low = plat::hexDigitValue(text[2]);
    if (low < 0 || (high == 0 && low == 0))
        return -1;
    return high * 16 + low;
}

// Copies text, replacing escapes (and with plusIsSpace "+"); false at the first bad escape.
bool decode(const char* text, bool plusIsSpace, plat::DString& out) {
    out.assign("");
    for (const char* at = text ? text : ""; *at; ++at) {
        if (*at == '%') {
            int byte = escapedByte(at);
            if (byte < 0)
                return false;
            out.appendChar(char(byte));
            at += 2;
        } else {
            out.appendChar(plusIsSpace && *at == '+' ? ' ' : *at);
        }
    }
    return true;
}

} // namespace

plat::DString percentEncodeEndpoint(const char* text) {
    return encode(text, keptInEndpoint);
}

plat::DString percentDecodeEndpoint(const char* text) {
    plat::DString out;
    if (!decode(text, false, out))
        throw EndpointInvalid("io_error_endpoint_badescape");
    out.makeValidUtf8();
    return out;
}

plat::DString percentEncode(const char* text, bool keepNonAscii) {
    return encode(text, [keepNonAscii](unsigned char c) { return keptInGeneral(c, keepNonAscii); });
}

plat::DString percentDecode(const char* text, bool plusIsSpace) {
    plat::DString out;
    if (!decode(text, plusIsSpace, out))
        throw plat::Exception("Bad percent encoding");
    return out;
}

} // namespace io
